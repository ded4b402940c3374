#!/usr/bin/env bash
# Installs the built package on a fresh Debian 12 in a chroot, runs both
# programs there as a user would, and removes it again, reporting whatever it
# leaves behind. Needs root, debootstrap and the Debian archive.
#   scripts/check-package.sh BUILD_DIR [CHROOT_DIR]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
root=${2:-/var/tmp/tesslow-bookworm}
deb=$(ls "$build"/tesslow_*_amd64.deb | head -n 1)

if [[ ! -x "$root/usr/bin/apt-get" ]]; then
  debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
mounted=()
cleanup() { for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount "${mounted[i]}" || true; done; }
trap cleanup EXIT
for m in proc dev dev/pts sys; do
  mountpoint -q "$root/$m" || { mount --bind "/$m" "$root/$m"; mounted+=("$root/$m"); }
done
in_root() {
  chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"
}

work=/root/tesslow-check
rm -rf "$root$work" && mkdir -p "$root$work/disc"
cp "$deb" "$root$work/"
cp "$build"/demo/demo.cue "$build"/demo/demo.bin "$build"/demo/CDDBCache.xml "$root$work/disc/"

echo "== Installing $(basename "$deb")"
in_root apt-get update -qq
in_root dpkg-query -W -f '${Package}\n' | sort >"$root$work/before.txt"
in_root apt-get install -y -qq "$work/$(basename "$deb")" >/dev/null
in_root dpkg -L tesslow | sort >"$root$work/files.txt"

echo "== tesslow-rip --version"
in_root tesslow-rip --version
echo "== tesslow-rip --check-installation"
in_root tesslow-rip --check-installation

# A user of their own, with the demo disc in the emulated drive and a title
# cache that knows it; the web services are never asked.
user_env=(HOME=$work/home TESSLOW_DRIVES=$work/disc/demo.cue
          TESSLOW_MUSICBRAINZ_URL=http://127.0.0.1:9 TESSLOW_ACCURATERIP_URL=http://127.0.0.1:9)
mkdir -p "$root$work/home/.local/share/Corvalen"
cp "$root$work/disc/CDDBCache.xml" "$root$work/home/.local/share/Corvalen/"
echo "== A rip of the demo disc to FLAC"
in_root env "${user_env[@]}" tesslow-rip --format flac --output "$work/out" --no-accuraterip </dev/null
find "$root$work/out" -type f -printf '%10s  %P\n' | sort -k2

echo "== tesslow under Xvfb"
in_root apt-get install -y -qq xvfb x11-utils x11-apps >/dev/null
in_root env "${user_env[@]}" xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  tesslow & pid=$!
  for i in $(seq 1 100); do
    xwininfo -root -tree | grep -q "\"Tesslow" && break
    sleep 0.2
  done
  xwininfo -root -tree | grep "\"Tesslow" || { echo "no Tesslow window"; kill $pid; exit 1; }
  sleep 1
  xwd -root -silent >/root/tesslow-check/window.xwd
  kill $pid; wait $pid || true'
cp "$root$work/window.xwd" "$build/package-window.xwd"
echo "the window's picture: $build/package-window.xwd"

echo "== Removing it"
# Runs `apt-get $1 tesslow` and lists the package's files that outlast it.
left=()
take_away() {
  in_root apt-get "$1" -y -qq tesslow >/dev/null
  left=()
  while read -r path; do
    [[ -e "$root$path" && ! -d "$root$path" ]] && left+=("$path")
  done <"$root$work/files.txt"
  echo "files of the package left after apt $1: ${left[*]:-none}"
}
take_away remove
take_away purge
# What apt pulled in for the package goes too, so the next check starts fresh.
in_root apt-get autoremove --purge -y -qq >/dev/null
[[ ${#left[@]} -eq 0 ]]
