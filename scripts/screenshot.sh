#!/usr/bin/env bash
# Draws the real main window in the middle of a race, under a virtual X
# display with the system's fonts and style, and writes docs/race-window.png
# (the whole race window) and docs/main-window-default.png (the size of a
# first start).
#
# Uses ${PALOMIND_BUILD_DIR:-build}, building the drawing program when missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${PALOMIND_BUILD_DIR:-build}
program="$build/tests/shell/race_window_screenshot"
source ./scripts_common.sh
palomind_install_packages xvfb xauth  # xvfb-run and the display's key
if [ ! -x "$program" ]; then
  cmake -S . -B "$build" -G Ninja >/dev/null
  cmake --build "$build" --target race_window_screenshot
fi

# A 96 dpi screen, as most operators' displays: 15 twips to the pixel.
draw() {
  xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
    env -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb "$program" "$@"
  echo "wrote ${*: -1}"
}
draw docs/race-window.png
draw --default-size docs/main-window-default.png
