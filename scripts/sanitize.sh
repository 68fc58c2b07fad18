#!/usr/bin/env bash
# Robustness run: builds z3config with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in its own build folder, runs the whole test
# suite there, then runs every fuzz target of tests/fuzz for a bounded time.
#
#   scripts/sanitize.sh [ctest args...]
#   FUZZ_SECONDS=60     time per fuzz target (0 skips fuzzing)
#   SKIP_TESTS=1        only fuzz
#   BUILD_DIR=build-sanitize
#
# Not part of scripts/test.sh: a full clang rebuild plus the sanitized suite
# takes far longer than the normal test command (see docs/testing.md).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD_DIR=${BUILD_DIR:-build-sanitize}
FUZZ_SECONDS=${FUZZ_SECONDS:-60}

bash scripts/install-deps.sh
# clang and its runtimes (sanitizers, libFuzzer): only this script needs them.
extra=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || extra+=("$p")
done
if [ ${#extra[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${extra[@]}"
fi

# Qt's own libraries are not instrumented; leaks inside them at exit are
# theirs, listed in scripts/lsan.supp.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$ROOT/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

SAN="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZ3_FUZZ=ON \
    -DCMAKE_CXX_FLAGS="$SAN -fsanitize=fuzzer-no-link" \
    -DCMAKE_EXE_LINKER_FLAGS="$SAN" -DCMAKE_SHARED_LINKER_FLAGS="$SAN" >/dev/null
fi
start=$(date +%s)
if [ -n "${SKIP_TESTS:-}" ]; then
  targets=()
  for seeds in tests/fuzz/corpus/*/; do targets+=("$(basename "$seeds")"); done
  cmake --build "$BUILD_DIR" -j"$(nproc)" --target "${targets[@]}"
else
  cmake --build "$BUILD_DIR" -j"$(nproc)"
fi
echo "sanitize: build took $(( $(date +%s) - start )) s"

status=0
if [ -z "${SKIP_TESTS:-}" ]; then
  start=$(date +%s)
  BUILD_DIR=$BUILD_DIR bash scripts/test.sh "$@" || status=1
  echo "sanitize: test suite took $(( $(date +%s) - start )) s"
fi

if [ "$FUZZ_SECONDS" -gt 0 ]; then
  WORK=$(mktemp -d)
  trap 'rm -rf "$WORK"' EXIT
  for seeds in tests/fuzz/corpus/*/; do
    target=$(basename "$seeds")
    # New inputs go to a scratch copy; the seeds in the repo stay as they are.
    mkdir -p "$WORK/$target"
    cp "$seeds"* "$WORK/$target/"
    echo "sanitize: fuzzing $target for $FUZZ_SECONDS s"
    if ! (cd "$WORK" && "$ROOT/$BUILD_DIR/tests/fuzz/$target" -max_total_time="$FUZZ_SECONDS" \
            -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 "$WORK/$target" \
            >"$WORK/$target.log" 2>&1); then
      status=1
      echo "sanitize: $target FAILED; crash input and log kept in $ROOT/$BUILD_DIR/fuzz-failures/"
      mkdir -p "$ROOT/$BUILD_DIR/fuzz-failures"
      cp "$WORK/$target.log" "$WORK"/crash-* "$WORK"/leak-* "$WORK"/timeout-* "$WORK"/oom-* \
         "$ROOT/$BUILD_DIR/fuzz-failures/" 2>/dev/null || true
      tail -n 40 "$WORK/$target.log"
    fi
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$WORK/$target.log" | sed "s/^/  $target /" || true
  done
fi
exit $status
