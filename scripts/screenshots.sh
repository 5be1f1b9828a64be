#!/usr/bin/env bash
# Pictures of the program's windows: the settings window's five sections, the job editor, the
# About window, the tray menu and the status panel, as PNG files. The program (its test build,
# which only records restarts and systemctl commands) runs in a temporary program directory on
# a bare X display (Xvfb) with a notification-area host (trayer), driven with xdotool.
# Usage: scripts/screenshots.sh [out-dir (<build-dir>/screenshots)] [build-dir (build-dev,
# configured and built as needed)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$root/build-dev}
out=${1:-$build/screenshots}

if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target vgx_screenshots
"$build/tests/e2e/vgx_screenshots" "$out"
