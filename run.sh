#!/usr/bin/env bash
# Builds Palomind and starts it with the receiver simulated (--simulate), so
# a newcomer sees a race without a receiver. Arguments are passed to the
# program; to use a real receiver, start build/palomind without --simulate.
# It runs in build/, where the build puts the wave files it plays; its
# settings, roster and journals are kept there too.
cd "$(dirname "$0")"
source ./scripts_common.sh
palomind_install_packages
palomind_build build
cd build
exec ./palomind --simulate "$@"
