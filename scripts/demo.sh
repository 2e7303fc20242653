#!/usr/bin/env bash
# Builds the tool in Release and runs it on a built-in example.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release --target tinrise
./build/release/src/tool/tinrise -version
