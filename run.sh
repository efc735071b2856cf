#!/usr/bin/env bash
# Builds Palomind and starts it. Arguments are passed to the program.
cd "$(dirname "$0")"
source ./scripts_common.sh
palomind_install_packages
palomind_build build
exec ./build/palomind "$@"
