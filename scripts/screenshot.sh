#!/usr/bin/env bash
# Draws the real main window in the middle of a race, under a virtual X
# display with the system's fonts and style, and writes docs/race-window.png
# (the whole race window) and docs/main-window-default.png (the size of a
# first start), the drivers' stand display at 1920 x 1080 as
# docs/stand-display.png; the port assignment dialog as
# docs/port-assignment.png; and the status bar with the receiver's notice as
# docs/receiver-notice.png; and the meeting window of a club day under way as
# docs/meeting-window.png, its entry list as docs/meeting-entries.png.
#
# Uses ${PALOMIND_BUILD_DIR:-build}, building the drawing program when missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${PALOMIND_BUILD_DIR:-build}
program="$build/tests/shell/race_window_screenshot"
source ./scripts_common.sh
# The drawing programs are built with the tests; xvfb-run and the display's
# key draw them.
palomind_install_packages "${PALOMIND_BUILD_PACKAGES[@]}" "${PALOMIND_TEST_PACKAGES[@]}" xvfb xauth
dialog_program="$build/tests/shell/port_assignment_screenshot"
notice_program="$build/tests/shell/receiver_notice_screenshot"
review_program="$build/tests/shell/lap_review_screenshot"
meeting_program="$build/tests/shell/meeting_window_screenshot"
if [ ! -x "$program" ] || [ ! -x "$dialog_program" ] || [ ! -x "$notice_program" ] ||
  [ ! -x "$review_program" ] || [ ! -x "$meeting_program" ]; then
  cmake -S . -B "$build" -G Ninja -DPALOMIND_BUILD_TESTS=ON >/dev/null
  cmake --build "$build" --target race_window_screenshot port_assignment_screenshot \
    receiver_notice_screenshot lap_review_screenshot meeting_window_screenshot
fi

# A 96 dpi screen, as most operators' displays: 15 twips to the pixel.
draw_with() {
  xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
    env -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb "$@"
  echo "wrote ${*: -1}"
}
draw() { draw_with "$program" "$@"; }
draw docs/race-window.png
draw --default-size docs/main-window-default.png
draw --stand-display docs/stand-display.png
draw_with "$dialog_program" docs/port-assignment.png
draw_with "$notice_program" docs/receiver-notice.png
draw_with "$review_program" docs/lap-review.png
draw_with "$meeting_program" docs/meeting-window.png docs/meeting-entries.png
