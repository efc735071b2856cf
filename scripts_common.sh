# Shared by run.sh, test.sh and the scripts: installs the Debian packages the
# build and its tests need (only those missing; a script adds what only it
# uses) and configures and builds a build directory.
# qt6-websockets-dev is there because Qt's HTTP server module will not
# configure without it; libcpp-httplib-dev is the spectators' benchmark's
# client.
set -euo pipefail

PALOMIND_PACKAGES=(cmake ninja-build g++ libgtest-dev googletest
  qt6-base-dev qt6-serialport-dev qt6-multimedia-dev qt6-translations-l10n
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good fonts-ipafont-gothic
  libespeak-ng-dev espeak-ng-data
  poppler-utils
  nlohmann-json3-dev libqrencode-dev qt6-httpserver-dev qt6-websockets-dev libcpp-httplib-dev)

# palomind_install_packages [EXTRA_PACKAGE...]
palomind_install_packages() {
  local missing=()
  for p in "${PALOMIND_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# palomind_build DIR [cmake options...]
palomind_build() {
  local dir=$1; shift
  # A compiler cache, where the machine has one, makes rebuilds after a
  # change cheap; the build does not need it.
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}
