# Shared by run.sh, test.sh and the scripts: the Debian packages each needs
# (a script installs the lists it uses, only what is missing, and adds what
# only it uses), configuring and building a build directory, and timed stages.
set -euo pipefail

# To build the program and run it. qt6-websockets-dev is there because Qt's
# HTTP server module will not configure without it; pkg-config finds
# libqrencode (and the benchmarks' cpp-httplib). The translations, GStreamer
# plugins, font and voices are what the program loads at run time.
PALOMIND_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev qt6-multimedia-dev qt6-httpserver-dev qt6-websockets-dev
  nlohmann-json3-dev libqrencode-dev libespeak-ng-dev
  qt6-translations-l10n gstreamer1.0-plugins-base gstreamer1.0-plugins-good fonts-ipafont-gothic
  espeak-ng-data)

# To build and run the tests: GoogleTest; poppler's pdftotext and pdfinfo read
# the printed PDFs back; Python's csv module reads the exports back; chromium
# checks the spectators' page in a real browser; the package test (label
# "package") packs the install with CPack and checks it with the others
# (xmllint and update-mime-database check its file types).
PALOMIND_TEST_PACKAGES=(libgtest-dev googletest poppler-utils python3 chromium
  dpkg-dev file desktop-file-utils appstream lintian libxml2-utils shared-mime-info)

# To build the benchmarks (-DPALOMIND_BUILD_BENCH=ON): cpp-httplib is the
# spectators' benchmark's client.
PALOMIND_BENCH_PACKAGES=(libcpp-httplib-dev)

# palomind_install_packages PACKAGE...
palomind_install_packages() {
  local missing=()
  for p in "$@"; do
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

# palomind_stage NAME COMMAND [ARGUMENT...]
# Runs one stage of a script and prints how long it took; when the script
# that started the first stage ends, a table of every stage's time follows,
# a failed stage marked. The stages of a script exec'd or started from it
# (.ci/run execs test.sh) join the same table. Sets the EXIT trap of the
# script that started the first stage.
palomind_stage() {
  local name=$1; shift
  if [ -z "${PALOMIND_STAGE_LOG:-}" ]; then
    PALOMIND_STAGE_LOG=$(mktemp)
    PALOMIND_STAGE_OWNER=$$
    export PALOMIND_STAGE_LOG PALOMIND_STAGE_OWNER
  fi
  # exec keeps the process: the exec'd script prints the table in its place.
  [ "$PALOMIND_STAGE_OWNER" = $$ ] && trap palomind_stage_summary EXIT
  echo "== stage: $name"
  PALOMIND_STAGE_NAME=$name
  PALOMIND_STAGE_START=$(date +%s)
  "$@"
  palomind_stage_record ""
  PALOMIND_STAGE_NAME=
}

# palomind_stage_record OUTCOME: the stage now ending, printed and logged;
# OUTCOME is empty when it passed.
palomind_stage_record() {
  local took=$(($(date +%s) - PALOMIND_STAGE_START))
  echo "== stage: $PALOMIND_STAGE_NAME took $took s${1:+ ($1)}"
  printf '%s\t%s\t%s\n' "$PALOMIND_STAGE_NAME" "$took" "$1" >>"$PALOMIND_STAGE_LOG"
}

palomind_stage_summary() {
  local status=$?
  [ -n "${PALOMIND_STAGE_NAME:-}" ] && palomind_stage_record FAILED
  echo "== stages (seconds):"
  awk -F'\t' '{ printf "  %-34s %6d%s\n", $1, $2, ($3 == "" ? "" : "  " $3); total += $2 }
    END { printf "  %-34s %6d\n", "total", total }' "$PALOMIND_STAGE_LOG"
  rm -f "$PALOMIND_STAGE_LOG"
  exit "$status"
}
