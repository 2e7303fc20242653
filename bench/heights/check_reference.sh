#!/usr/bin/env bash
# Checks tinrise's heights point by point against the independent reference
# in ../shared/bench (a triangulation by a general-purpose library): the real
# samples and a generated survey of one million points, heights written with
# -store_precise_as_extra_bytes, every point within 2 mm (or within the range
# the rules allow where they allow several answers).
#   bench/heights/check_reference.sh [work directory]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
shared=${SHARED:-$root/../shared}
work=${1:-/tmp/tinrise_reference_check}
mkdir -p "$work"
if [ ! -x "$work/ref/hag_cgal" ]; then
  command -v apt-get >/dev/null && { dpkg -s libcgal-dev python3-numpy >/dev/null 2>&1 || apt-get install -y libcgal-dev python3-numpy >/dev/null; }
  "$shared/bench/reference/build.sh" "$work/ref" >/dev/null
fi
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/release" --target tinrise >/dev/null
tinrise=$root/build/release/src/tool/tinrise
[ -f "$work/survey1m.las" ] || "$work/ref/gen_las" "$work/survey1m.las" 1000000 1 >/dev/null
status=0
for input in "$root"/tests/data/real/{simple,100-points,warsaw_small,extrabytes}.las "$work/survey1m.las"; do
  name=$(basename "$input" .las)
  "$work/ref/hag_cgal" "$input" "$work/$name.oracle" >/dev/null 2>&1
  "$tinrise" -i "$input" -o "$work/$name.heights.las" -store_precise_as_extra_bytes -quiet
  printf '%-14s ' "$name"
  if /usr/bin/python3 "$shared/bench/reference/compare_heights.py" "$work/$name.oracle" "$work/$name.heights.las" \
       --input "$input" --tol 0.002 > "$work/$name.compare.txt"; then
    grep -E "INSIDE-HULL NON-GROUND" "$work/$name.compare.txt" | tr -s ' '
  else
    status=1
    echo "FAIL (see $work/$name.compare.txt)"
  fi
done
exit $status
