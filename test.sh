#!/usr/bin/env bash
# Builds and runs every test: once in a normal build (build/), once with
# AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/).
cd "$(dirname "$0")"
source ./scripts_common.sh
# Chromium: the spectators' page is checked in a real browser. The package
# test (label "package") packs the install with CPack and checks it with the
# others.
palomind_install_packages chromium dpkg-dev file desktop-file-utils appstream lintian
export QT_QPA_PLATFORM=offscreen
# Warnings fail the normal build. The sanitizer build only shows them: GCC's
# flow warnings give false alarms on instrumented code.
palomind_build build -DPALOMIND_WERROR=ON
ctest --test-dir build --output-on-failure -j"$(nproc)"
if [ "${PALOMIND_SKIP_SANITIZERS:-0}" != 1 ]; then
  palomind_build build-asan -DPALOMIND_SANITIZE=ON -DPALOMIND_BUILD_BENCH=OFF
  ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
fi
