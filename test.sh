#!/usr/bin/env bash
# Builds and runs every test: once in a normal build (build/), once with
# AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/).
cd "$(dirname "$0")"
source ./scripts_common.sh
# Chromium: the spectators' page is checked in a real browser.
palomind_install_packages chromium
export QT_QPA_PLATFORM=offscreen
palomind_build build
ctest --test-dir build --output-on-failure -j"$(nproc)"
if [ "${PALOMIND_SKIP_SANITIZERS:-0}" != 1 ]; then
  palomind_build build-asan -DPALOMIND_SANITIZE=ON -DPALOMIND_BUILD_BENCH=OFF
  ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
fi
