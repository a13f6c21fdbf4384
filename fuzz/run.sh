#!/usr/bin/env bash
# Builds the reader's fuzz target with clang (libFuzzer, ASan, UBSan), makes
# seed files with our fixture writer, and fuzzes for SECONDS (default 600).
# LORIVANE_FUZZ_TARGET=fuzz_condition fuzzes the case-selection conditions
# instead (from no seeds, with the language's words in fuzz/condition.dict),
# LORIVANE_FUZZ_TARGET=fuzz_percentiles the percents of --percentiles,
# LORIVANE_FUZZ_TARGET=fuzz_pdf_outline the bookmarks appended to a PDF
# (from fuzz/pdf_outline_seed.pdf).
#   fuzz/run.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
target=${LORIVANE_FUZZ_TARGET:-fuzz_reader}
tools/ensure-packages clang libclang-rt-14-dev
work=${LORIVANE_FUZZ_DIR:-/tmp/lorivane-$target}
mkdir -p "$work/seeds" "$work/corpus"
cmake -S . -B build-seeds -DLORIVANE_GUI=OFF >/dev/null
cmake --build build-seeds --target make_fuzz_seeds -j2 >/dev/null
build-seeds/tools/make_fuzz_seeds "$work/seeds"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DLORIVANE_FUZZ=ON -DLORIVANE_GUI=OFF \
  -DLORIVANE_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --target "$target" -j2 >/dev/null
dict=()
if [ "$target" != fuzz_reader ]; then
  rm -f "$work"/seeds/*
fi
if [ "$target" = fuzz_pdf_outline ]; then
  cp fuzz/pdf_outline_seed.pdf "$work/seeds/"
fi
if [ "$target" = fuzz_condition ]; then
  dict=(-dict="$PWD/fuzz/condition.dict")
fi
cd "$work"
"$OLDPWD/build-fuzz/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
  -print_final_stats=1 "${dict[@]}" corpus seeds
