#!/usr/bin/env bash
# Opens the desktop wizard on the demo disc in the demo's sandbox (its own
# config and data folders under demo-out/.sandbox, whose title cache knows the
# demo disc), so it never touches the user's settings. Rips go to the
# sandbox's Music folder unless the wizard is told otherwise. Without a display the
# wizard runs under Xvfb, where nobody sees it (for checking it starts).
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
disc="$root/$build/demo"
out="$root/demo-out"
# shellcheck source=scripts/demo-sandbox.sh
source "$root/scripts/demo-sandbox.sh"

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec "$root/$build/bin/tesslow"
elif command -v xvfb-run >/dev/null; then
  echo "No display: running the wizard under Xvfb."
  exec xvfb-run -a "$root/$build/bin/tesslow"
else
  echo "No display, and no xvfb-run (apt-get install xvfb): cannot open the wizard." >&2
  exit 1
fi
