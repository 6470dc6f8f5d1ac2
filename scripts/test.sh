#!/usr/bin/env bash
# Runs every test suite: the C++ suites (plain and under ASan+UBSan), the fuzz targets for a bounded
# time, and the pytest suite against a freshly installed module. Installs what is missing first:
# GoogleTest and clang from Debian (needs root), pytest and numpy into .venv.
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-2}
FUZZ_SECONDS=${FUZZ_SECONDS:-60}

need=()
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
command -v clang++-19 >/dev/null || need+=(clang-19)
[ -f /usr/lib/llvm-19/lib/clang/19/lib/linux/libclang_rt.fuzzer-x86_64.a ] || need+=(libclang-rt-19-dev)
if [ ${#need[@]} -gt 0 ]; then
  echo "== Installing ${need[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
fi
if [ ! -x .venv/bin/python ]; then python3 -m venv .venv; fi
.venv/bin/python -m pip install -q --upgrade pip
.venv/bin/python -m pip install -q pytest numpy hypothesis mypy cmake ninja
export PATH="$PWD/.venv/bin:$PATH"
PY=.venv/bin/python

echo "== C++ tests"
cmake -S . -B build/tests -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVRA_PYTHON=OFF -DKELVRA_TESTS=ON -DKELVRA_BENCH=ON >/dev/null
cmake --build build/tests -j "$JOBS"
ctest --test-dir build/tests -j "$JOBS" --output-on-failure

echo "== C++ tests under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DKELVRA_PYTHON=OFF -DKELVRA_TESTS=ON -DKELVRA_SANITIZE=ON >/dev/null
cmake --build build/sanitize -j "$JOBS"
ctest --test-dir build/sanitize -j "$JOBS" --output-on-failure

echo "== Fuzzing (${FUZZ_SECONDS}s per target)"
CXX=clang++-19 cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O1 -g1" -DKELVRA_PYTHON=OFF -DKELVRA_FUZZ=ON -DKELVRA_SANITIZE=ON >/dev/null
cmake --build build/fuzz -j "$JOBS"
mkdir -p build/fuzz/artifacts
for src in fuzz/*.cc; do
  name=$(basename "$src" .cc)
  corpus=$(mktemp -d)
  cp -r "fuzz/corpus/$name/." "$corpus/" 2>/dev/null || true
  echo "-- $name"
  "build/fuzz/$name" -max_total_time="$FUZZ_SECONDS" -max_len=4096 -artifact_prefix=build/fuzz/artifacts/ \
    -print_final_stats=1 "$corpus" > "build/fuzz/$name.log" 2>&1 || { tail -n 40 "build/fuzz/$name.log"; exit 1; }
  grep "^stat::" "build/fuzz/$name.log"
  rm -rf "$corpus"
done

echo "== Python tests"
"$PY" -m pip install -q .
rc=0
"$PY" -m pytest -q tests || rc=$?
# pytest exits 5 when it collected no test.
if [ "$rc" -ne 0 ] && [ "$rc" -ne 5 ]; then exit "$rc"; fi
