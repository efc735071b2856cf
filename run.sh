#!/usr/bin/env bash
# Builds Palomind and starts it with the receiver simulated (--simulate), so
# a newcomer sees a race without a receiver. Arguments are passed to the
# program; to use a real receiver, start build/palomind without --simulate.
# It runs in build/, where the build puts the wave files it plays; its
# settings, roster and journals are kept there too.
cd "$(dirname "$0")"
source ./scripts_common.sh
# Only what the program needs: the tests and benchmarks are test.sh's (which
# turns them on again in build/).
palomind_install_packages "${PALOMIND_BUILD_PACKAGES[@]}"
palomind_build build -DPALOMIND_BUILD_TESTS=OFF -DPALOMIND_BUILD_BENCH=OFF
cd build
exec ./palomind --simulate "$@"
