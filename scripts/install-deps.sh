#!/usr/bin/env bash
# Installs the Debian 12 packages Tesslow needs to build, test and run the demo.
# Idempotent: when everything is present it returns at once without apt.
set -euo pipefail

packages=(
  # build and tests
  build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  # positional messages
  libboost-dev
  # drive access and extraction
  libcdparanoia-dev patch
  # disc identifier, web service, title cache
  libdiscid-dev libcurl4-openssl-dev libxml2-dev ca-certificates openssl
  # checksums of the rip (CRC-32 at memory speed), the rip log's SHA-256
  libisal-dev libssl-dev
  # encoders
  libflac-dev libvorbis-dev libmp3lame-dev libavcodec-dev libavformat-dev
  # loudness for ReplayGain
  libebur128-dev
  # preview playback
  libsdl2-dev
  # the desktop wizard, and a font for it where the desktop has none (tests run offscreen)
  qt6-base-dev fonts-dejavu-core
  # independent judges of the encoders' files in the tests, reference encoders in bench/
  ffmpeg flac vorbis-tools lame python3 python3-mutagen
  # a session bus of its own for the desktop notification test
  dbus
  # the wizard walked on a real X server with a window manager, by keys and clicks
  xvfb openbox xdotool x11-utils x11-apps
  # the manual pages checked for warnings
  groff-base
  # the Debian package checked as a distribution checks it
  lintian desktop-file-utils appstream
  # a YAML reader for the rip log
  python3-yaml
  # the reference de-emphasis, and spectra to compare ours with it
  sox python3-numpy
  # a second ID3 reader, one that knows only the version-4 date frame
  python3-eyed3
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
