#!/usr/bin/env bash
# Installs what the TIN benchmark's yardstick needs (CGAL, header-only, with
# GMP and MPFR), then configures and builds the benchmark in Release.
# Not a dependency of the tool or of its tests.
set -euo pipefail
cd "$(dirname "$0")/../.."
if ! dpkg -s libcgal-dev >/dev/null 2>&1; then
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y libcgal-dev
fi
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release --target tin_bench
echo "run: build/release/bench/tin/tin_bench [--reps 3] [--sizes 1000000,10000000] [--queries 10000000]"
