#!/usr/bin/env bash
# The demo: rips the built-in demo disc with tesslow-rip through the emulated
# drive into ./demo-out/. It runs in a sandbox of its own (its own config and
# data folders under demo-out/.sandbox), so it never touches the user's
# settings or title cache; the sandbox's title cache knows the demo disc.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
rip="$root/$build/bin/tesslow-rip"
disc="$root/$build/demo"
out="$root/demo-out"

rm -rf "$out"
# shellcheck source=scripts/demo-sandbox.sh
source "$root/scripts/demo-sandbox.sh"

echo "== The disc in the emulated drive"
"$rip" --info
echo
echo "== Ripping it to FLAC"
# The demo disc is made here, so AccurateRip cannot know it.
"$rip" --format flac --output "$out" --artist-folder --album-folder --year --no-accuraterip </dev/null
echo
echo "== Files made"
(cd "$out" && find . -path ./.sandbox -prune -o -type f -printf '%10s  %P\n' | sort -k2)
