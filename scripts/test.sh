#!/usr/bin/env bash
# Runs every test suite: the C++ suites (plain and under ASan+UBSan), the fuzz targets for a bounded
# time, and the pytest suite against a freshly installed module. Expects .venv (see .ci/run).
set -euo pipefail
cd "$(dirname "$0")/.."
PY=${PYTHON:-.venv/bin/python}
JOBS=${JOBS:-2}
FUZZ_SECONDS=${FUZZ_SECONDS:-60}

echo "== C++ tests"
cmake -S . -B build/tests -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVRA_PYTHON=OFF -DKELVRA_TESTS=ON -DKELVRA_BENCH=ON >/dev/null
cmake --build build/tests -j "$JOBS"
ctest --test-dir build/tests -j "$JOBS" --output-on-failure

echo "== C++ tests under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVRA_PYTHON=OFF -DKELVRA_TESTS=ON -DKELVRA_SANITIZE=ON >/dev/null
cmake --build build/sanitize -j "$JOBS"
ctest --test-dir build/sanitize -j "$JOBS" --output-on-failure

if [ -d fuzz ] && ls fuzz/*.cc >/dev/null 2>&1; then
  echo "== Fuzzing (${FUZZ_SECONDS}s per target)"
  CXX=clang++-19 cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVRA_PYTHON=OFF -DKELVRA_FUZZ=ON -DKELVRA_SANITIZE=ON >/dev/null
  cmake --build build/fuzz -j "$JOBS"
  for src in fuzz/*.cc; do
    name=$(basename "$src" .cc)
    corpus=$(mktemp -d)
    cp -r "fuzz/corpus/$name/." "$corpus/" 2>/dev/null || true
    mkdir -p build/fuzz/artifacts
    "build/fuzz/$name" -max_total_time="$FUZZ_SECONDS" -max_len=4096 -artifact_prefix=build/fuzz/artifacts/ \
      -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
    rm -rf "$corpus"
  done
fi

echo "== Python tests"
"$PY" -m pip install -q .
rc=0
"$PY" -m pytest -q tests || rc=$?
# pytest exits 5 when it collected no test.
if [ "$rc" -ne 0 ] && [ "$rc" -ne 5 ]; then exit "$rc"; fi
