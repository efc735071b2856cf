#!/usr/bin/env bash
# Builds Palomind and starts it. Arguments are passed to the program.
# It runs in build/, where the build puts the wave files it plays; its
# settings, roster and journals are kept there too.
cd "$(dirname "$0")"
source ./scripts_common.sh
palomind_install_packages
palomind_build build
cd build
exec ./palomind "$@"
