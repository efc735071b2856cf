#!/usr/bin/env bash
# Checks the spectators' page in headless Chromium during a simulated race
# (the live test that compares the page's standings with the window's) and
# keeps its phone-sized screenshot as docs/spectator-page.png; then the page at
# 390 x 844 during a race of ten entrants as docs/spectator-phone.png.
set -euo pipefail
cd "$(dirname "$0")/.."
source ./scripts_common.sh
palomind_install_packages "${PALOMIND_BUILD_PACKAGES[@]}" "${PALOMIND_TEST_PACKAGES[@]}"
palomind_build build -DPALOMIND_BUILD_TESTS=ON
cd build
QT_QPA_PLATFORM=offscreen PALOMIND_SPECTATOR_SCREENSHOT="$PWD/../docs/spectator-page.png" \
  ./tests/live/palomind_live_tests --gtest_filter='LiveProgramTest.SpectatorsPageInABrowser*'
QT_QPA_PLATFORM=offscreen PALOMIND_SPECTATOR_PHONE_SCREENSHOT="$PWD/../docs/spectator-phone.png" \
  ./tests/live/palomind_live_tests --gtest_filter='PhoneRaceTest.*'
