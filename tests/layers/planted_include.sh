#!/usr/bin/env bash
# The include check must fail on a wrong-way include, on a reach into the
# reader's own headers and on the reader reaching into the writer's: plant
# them in a small tree and expect each named.
set -u
check=$1
rules=$2
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/tools" "$tree/core/state" "$tree/core/windows" "$tree/core/grid" "$tree/savio/include/savio" \
         "$tree/savio/writer"
cp "$rules" "$tree/tools/include-rules"
echo '#include "core/windows/summary.h"' > "$tree/core/state/spssdio1.cpp"
touch "$tree/core/windows/summary.h" "$tree/savio/open_files.h" "$tree/savio/include/savio/spssfio.h"
printf '#include "savio/spssfio.h"\n#include "savio/open_files.h"\n' > "$tree/core/grid/case_cache.cpp"
touch "$tree/savio/writer/names.h"
echo '#include "writer/names.h"' > "$tree/savio/sav_file.cpp"
echo '#include "savio/open_files.h"' > "$tree/savio/writer/writer.cpp"
out=$("$check" "$tree")
status=$?
echo "$out"
[ $status -eq 1 ] || { echo "expected exit 1, got $status"; exit 1; }
grep -q 'core/state/spssdio1.cpp: includes core/windows/summary.h' <<<"$out" || exit 1
grep -q 'core/grid/case_cache.cpp: includes savio/open_files.h' <<<"$out" || exit 1
grep -q 'savio/sav_file.cpp: includes writer/names.h' <<<"$out" || exit 1
grep -q 'includes savio/spssfio.h' <<<"$out" && exit 1
grep -q 'savio/writer/writer.cpp' <<<"$out" && exit 1
exit 0
