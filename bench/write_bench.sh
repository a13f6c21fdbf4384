#!/usr/bin/env bash
# Times `lorivane-dump convert` writing system files from the 1 M-case,
# 40-variable survey (bench_write makes it): whole as bytecode .sav and as
# .zsav, and a tenth of its cases chosen by a condition, with each run's peak
# memory, beside libreadstat's bare parse of the same file, PSPP's SAVE
# (bytecode and zlib) and pspp-convert, in one run.
#   bench/write_bench.sh BUILD_DIR [FILES_DIR]
# BUILD_DIR must be configured with -DLORIVANE_BENCH=ON; FILES_DIR defaults to
# /tmp/lorivane-bench.
set -euo pipefail
build=${1:?usage: write_bench.sh BUILD_DIR [FILES_DIR]}
dir=${2:-/tmp/lorivane-bench}
cmake --build "$build" --target lorivane-dump bench_peer_parse bench_write -j2 >/dev/null
file="$dir/survey-1m-x40-bytecode.sav"
[ -f "$file" ] || "$build/bench/bench_write" "$dir" >/dev/null
dump="$build/cli/lorivane-dump"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# AMT1 is uniform over 0 .. 100,000 and missing in one case of 20: about
# 9.5 % of the cases.
where='AMT1 < 10000'

# Wall seconds and peak RSS (MB) of a command.
measure() {
  sync
  /usr/bin/time -f "%e %M" -o "$out/time" "$@" >/dev/null 2>"$out/err" || true
  read -r secs kb < <(tail -n 1 "$out/time")
  printf '%8.2f s %6d MB' "$secs" $((kb / 1024))
}
pspp_save() {  # pspp_save OUT /COMPRESSED|/ZCOMPRESSED
  printf "GET FILE='%s'.\nSAVE OUTFILE='%s' %s.\n" "$file" "$1" "$2" >"$out/save.sps"
  measure pspp "$out/save.sps"
}

echo "$file"
printf '| %-40s | %-20s |\n|---|---|\n' action "wall, peak RSS"
printf '| %-40s | %s |\n' "libreadstat bare parse (peer)" "$(measure "$build/bench/bench_peer_parse" "$file")"
printf '| %-40s | %s |\n' "convert to .sav (bytecode)" "$(measure "$dump" convert "$file" "$out/a.sav")"
printf '| %-40s | %s |\n' "convert to .zsav" "$(measure "$dump" convert "$file" "$out/a.zsav")"
printf '| %-40s | %s |\n' "convert --where '$where' .sav" \
  "$(measure "$dump" convert "$file" "$out/w.sav" --where "$where")"
printf '| %-40s | %s |\n' "PSPP SAVE /COMPRESSED" "$(pspp_save "$out/p.sav" /COMPRESSED)"
printf '| %-40s | %s |\n' "PSPP SAVE /ZCOMPRESSED" "$(pspp_save "$out/p.zsav" /ZCOMPRESSED)"
printf '| %-40s | %s |\n' "pspp-convert to .sav" "$(measure pspp-convert "$file" "$out/c.sav")"
echo
echo "cases written with --where: $("$dump" summary "$out/w.sav" 2>/dev/null | grep 'ケース数' | head -1)"
ls -l "$out"/*.sav "$out"/*.zsav | awk '{printf "%s %.1f MB\n", $NF, $5 / 1e6}'
