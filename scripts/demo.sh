#!/usr/bin/env bash
# The demo: runs tesslow-rip from the build tree in a sandbox of its own (its
# own config and data folders), so it never touches the user's settings.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
rip="$root/$build/bin/tesslow-rip"

sandbox="$root/demo-out/.sandbox"
rm -rf "$sandbox"
mkdir -p "$sandbox/home"
export HOME="$sandbox/home"
export XDG_CONFIG_HOME="$sandbox/home/.config"
export XDG_DATA_HOME="$sandbox/home/.local/share"
export XDG_CONFIG_DIRS="$sandbox/xdg"

echo "== Settings loaded by tesslow-rip"
"$rip" --settings
echo
echo "== Installation check"
"$rip" --check-installation
