#!/usr/bin/env bash
# Builds the Debian package palomind_<version>_<arch>.deb and writes it to the
# top of the checkout. Installs the Debian packages the build needs first
# (only those missing), builds in build-package/ with Debian's hardened
# compiler flags and the /usr layout, and packs the install with CPack.
#
#     scripts/package.sh
#     sudo apt-get install ./palomind_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source ./scripts_common.sh
# dpkg-dev brings dpkg-buildflags and dpkg-shlibdeps (the package's library
# dependencies), which CPack runs with file.
palomind_install_packages "${PALOMIND_BUILD_PACKAGES[@]}" dpkg-dev file

build=build-package
palomind_build "$build" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
  -DPALOMIND_BUILD_TESTS=OFF -DPALOMIND_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get LDFLAGS)"

rm -rf "$build/packages"
(cd "$build" && cpack -G DEB -B packages >/dev/null)
deb=$(ls "$build"/packages/palomind_*.deb)
rm -f palomind_*.deb
mv "$deb" .
echo "wrote $(basename "$deb")"
