#!/usr/bin/env bash
# Times tinrise against the reference of ../shared/bench on generated surveys
# (LAS 1.2 type 1, about a third ground) of 1 and 10 million points: both read
# the file, triangulate its ground points, compute every height and write LAS
# with the height in the user data. Runs interleaved, best of three, files in
# the page cache; prints wall time, the ratio and peak memory per ground point.
#   bench/heights/run_bench.sh [work directory] [sizes...]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
shared=${SHARED:-$root/../shared}
work=${1:-/tmp/tinrise_bench}
shift || true
sizes=${*:-1000000 10000000}
mkdir -p "$work"
if [ ! -x "$work/ref/hag_cgal" ]; then
  command -v apt-get >/dev/null && { dpkg -s libcgal-dev python3-numpy >/dev/null 2>&1 || apt-get install -y libcgal-dev python3-numpy >/dev/null; }
  "$shared/bench/reference/build.sh" "$work/ref" >/dev/null
fi
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/release" --target tinrise >/dev/null
tinrise=$root/build/release/src/tool/tinrise

measure() {  # prints "seconds peak_kib"
  /usr/bin/time -f "%e %M" "$@" 2>&1 >/dev/null | tail -n 1
}

for n in $sizes; do
  input=$work/survey_$n.las
  [ -f "$input" ] || "$work/ref/gen_las" "$input" "$n" 1 >/dev/null
  cat "$input" > /dev/null
  ground=$("$tinrise" -i "$input" -o "$work/warm.las" -v 2>&1 | sed -n 's/.*counted \([0-9]*\) ground points.*/\1/p')
  best_t=999999; best_r=999999; mem_t=0; mem_r=0
  for run in 1 2 3; do
    read -r t m < <(measure "$tinrise" -i "$input" -o "$work/tinrise_out.las" -quiet)
    awk -v a="$t" -v b="$best_t" 'BEGIN{exit !(a<b)}' && best_t=$t
    [ "$m" -gt "$mem_t" ] && mem_t=$m
    read -r t m < <(measure "$work/ref/hag_cgal" "$input" "$work/ref_o" --anchor --write "$work/ref_out.las")
    awk -v a="$t" -v b="$best_r" 'BEGIN{exit !(a<b)}' && best_r=$t
    [ "$m" -gt "$mem_r" ] && mem_r=$m
  done
  awk -v n="$n" -v g="$ground" -v tt="$best_t" -v tr="$best_r" -v mt="$mem_t" -v mr="$mem_r" 'BEGIN{
    printf "%d points (%d ground): tinrise %.2f s, reference %.2f s, ratio %.2f; peak memory tinrise %.0f MiB (%.1f bytes per ground point), reference %.0f MiB\n",
      n, g, tt, tr, tt/tr, mt/1024, mt*1024/g, mr/1024 }'
done
