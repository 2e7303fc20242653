#!/usr/bin/env bash
# Builds the tool in Release, generates an example survey (hilly terrain with
# buildings and trees, about 3 million points in flight-line order, ground
# classified), computes every point's height above the ground TIN and prints
# how many points of each class fall into each height band.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release --target tinrise tinrise_example
bin=build/release/src/tool
mkdir -p build/demo
"$bin/example/tinrise_example" generate build/demo/survey.las 3000000
"$bin/tinrise" -i build/demo/survey.las -o build/demo/survey_heights.las -v
"$bin/example/tinrise_example" summarize build/demo/survey_heights.las
