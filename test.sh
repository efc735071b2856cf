#!/usr/bin/env bash
# Builds and runs every test, in stages that each print their time (a table
# of them ends the run):
#   build/       the normal build, warnings as errors; the "unit" tests first,
#                so a broken core fails in minutes, then the rest ("window",
#                "live", "package");
#   build-tsan/  ThreadSanitizer over the toolkit-free libraries and their
#                "unit" tests (Qt's own code is not instrumented, so its
#                threads would only give false reports);
#   build-asan/  AddressSanitizer and UndefinedBehaviorSanitizer, every test
#                as in build/ but the package's.
# PALOMIND_SKIP_SANITIZERS=1 leaves out the two sanitizer builds.
cd "$(dirname "$0")"
source ./scripts_common.sh
# The benchmarks are built (not run) so that they keep compiling.
palomind_stage packages palomind_install_packages "${PALOMIND_BUILD_PACKAGES[@]}" \
  "${PALOMIND_TEST_PACKAGES[@]}" "${PALOMIND_BENCH_PACKAGES[@]}"
export QT_QPA_PLATFORM=offscreen
# A data race fails its test at the first report.
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1"

# run_tests DIR CTEST_OPTION...: fails when nothing matches too.
run_tests() {
  local dir=$1; shift
  ctest --test-dir "$dir" --output-on-failure --no-tests=error -j"$(nproc)" "$@"
}
unit=(-L '^unit$')
not_unit=(-LE '^unit$')

# Warnings fail the normal build. The sanitizer builds only show them: GCC's
# flow warnings give false alarms on instrumented code. build/ is run.sh's
# too, which leaves out the tests and benchmarks: turned on again here.
palomind_stage "build (normal)" palomind_build build -DPALOMIND_WERROR=ON \
  -DPALOMIND_BUILD_TESTS=ON -DPALOMIND_BUILD_BENCH=ON
palomind_stage "unit tests (normal)" run_tests build "${unit[@]}"
palomind_stage "window, live, package tests (normal)" run_tests build "${not_unit[@]}"
if [ "${PALOMIND_SKIP_SANITIZERS:-0}" != 1 ]; then
  palomind_stage "build (TSan)" palomind_build build-tsan -DPALOMIND_TSAN=ON \
    -DPALOMIND_BUILD_GUI=OFF -DPALOMIND_BUILD_BENCH=OFF
  # Bounded: a test that deadlocks under the sanitizer must not hang the run.
  # The readers' time bounds (tests named ...InBoundedTime...) are left to
  # the other builds: single-threaded, they give the sanitizer nothing to
  # find, and its instrumentation makes them ten times slower than the bound.
  palomind_stage "unit tests (TSan)" run_tests build-tsan "${unit[@]}" -E 'InBoundedTime' \
    --timeout 300
  palomind_stage "build (ASan+UBSan)" palomind_build build-asan -DPALOMIND_SANITIZE=ON \
    -DPALOMIND_BUILD_BENCH=OFF
  palomind_stage "unit tests (ASan+UBSan)" run_tests build-asan "${unit[@]}"
  palomind_stage "window, live tests (ASan+UBSan)" run_tests build-asan "${not_unit[@]}"
fi
