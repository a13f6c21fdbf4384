#!/usr/bin/env bash
# Times lorivane-dump's streaming commands, and its grid sorted by a numeric
# column (read back from the file on demand), on the large benchmark files
# beside libreadstat's bare parse and Debian's `readstat FILE out.csv`, in one
# run.
#   bench/dump_bench.sh BUILD_DIR [FILES_DIR]
# BUILD_DIR must be configured with -DLORIVANE_BENCH=ON; FILES_DIR defaults to
# /tmp/lorivane-bench, where bench_read writes its large files.
set -euo pipefail
build=${1:?usage: dump_bench.sh BUILD_DIR [FILES_DIR]}
dir=${2:-/tmp/lorivane-bench}
cmake --build "$build" --target lorivane-dump bench_peer_parse bench_read -j2 >/dev/null
[ -n "$(ls "$dir" 2>/dev/null)" ] || "$build/bench/bench_read" "$dir" >/dev/null
dump="$build/cli/lorivane-dump"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Wall seconds and peak RSS (MB) of a command.
measure() {
  /usr/bin/time -f "%e %M" -o "$out/time" "$@" >/dev/null 2>"$out/err" || true
  # (a command that fails has its exit status on a line of its own first)
  read -r secs kb < <(tail -n 1 "$out/time")
  printf '%8.2f s %6d MB' "$secs" $((kb / 1024))
}

printf '%-28s | %-18s | %-18s | %-18s | %-18s | %-18s | %-18s | %-18s\n' file "readstat parse" \
  "readstat csv" "dump grid" "dump export raw" "dump export shown" "shown --formatted" \
  "dump grid --sort N1"
for f in "$dir"/*.sav "$dir"/*.zsav; do
  [ -f "$f" ] || continue
  printf '%-28s | %s | %s | %s | %s | %s | %s | %s\n' "$(basename "$f")" \
    "$(measure "$build/bench/bench_peer_parse" "$f")" \
    "$(measure readstat "$f" "$out/out.csv")" \
    "$(measure "$dump" grid "$f")" \
    "$(measure "$dump" export "$f" "$out/raw.txt" --raw)" \
    "$(measure "$dump" export "$f" "$out/shown.txt" --displayed)" \
    "$(measure "$dump" export "$f" "$out/formatted.txt" --displayed --formatted)" \
    "$(measure "$dump" grid "$f" --sort N1)"
  rm -f "$out"/*.txt "$out"/*.csv
done
