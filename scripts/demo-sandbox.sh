# Sourced by demo.sh and wizard.sh with $disc (the built demo disc's folder)
# and $out (demo-out) set: points the programs at a sandbox of their own under
# $out/.sandbox (config and data folders whose title cache knows the demo
# disc), so the user's settings and cache are never touched, and at the demo
# disc in the emulated drive. The web service is never asked.
sandbox="$out/.sandbox"
mkdir -p "$sandbox/home/.local/share/Corvalen" "$sandbox/home/Music"
[[ -f "$sandbox/home/.local/share/Corvalen/CDDBCache.xml" ]] ||
  cp "$disc/CDDBCache.xml" "$sandbox/home/.local/share/Corvalen/"
export HOME="$sandbox/home"
export XDG_CONFIG_HOME="$sandbox/home/.config"
export XDG_DATA_HOME="$sandbox/home/.local/share"
export XDG_CONFIG_DIRS="$sandbox/xdg"
export TESSLOW_DRIVES="$disc/demo.cue"
export TESSLOW_MUSICBRAINZ_URL="http://127.0.0.1:9"
export TESSLOW_ACCURATERIP_URL="http://127.0.0.1:9"
