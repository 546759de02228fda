#!/usr/bin/env bash
# Builds the libFuzzer targets (preset `fuzz`), seeds them with cards and
# saves made by the project's own formatter and save maker, and runs each for
# SECONDS (default 45). Fails on any crash, leak, sanitizer report or broken
# check; what failed is kept under build/fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-45}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target card_parser_fuzz upload_delete_fuzz make_fuzz_seeds

bin=build/fuzz/bin
work=build/fuzz/run
mkdir -p "$work/seeds/card_parser_fuzz" "$work/seeds/upload_delete_fuzz" \
    "$work/corpus/card_parser_fuzz" "$work/corpus/upload_delete_fuzz" build/fuzz/artifacts
"$bin/make_fuzz_seeds" "$work/seeds/card_parser_fuzz" "$work/seeds/upload_delete_fuzz"

for target in card_parser_fuzz upload_delete_fuzz; do
    echo "fuzzing $target for ${seconds}s" >&2
    # New inputs go to the corpus folder; the seeds are read only.
    "$bin/$target" -max_total_time="$seconds" -max_len=131072 -timeout=30 \
        -rss_limit_mb=4096 -artifact_prefix=build/fuzz/artifacts/"$target"- -print_final_stats=1 \
        "$work/corpus/$target" "$work/seeds/$target"
done
