#!/usr/bin/env bash
# Builds and runs the whole test suite twice: with the Release flags users get,
# and with AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
for config in release sanitize; do
  if [ "$config" = sanitize ]; then
    extra=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINRISE_SANITIZE=ON)
  else
    extra=(-DCMAKE_BUILD_TYPE=Release)
  fi
  cmake -S . -B "build/$config" -G Ninja "${extra[@]}" >/dev/null
  cmake --build "build/$config" -j "$jobs"
  ctest --test-dir "build/$config" --output-on-failure -j "$jobs"
done
echo "all tests passed (release and sanitize)"
