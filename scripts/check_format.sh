#!/usr/bin/env bash
# Checks that every C and C++ file git tracks is formatted by the repository's
# .clang-format, and lists those that are not.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h' '*.c' '*.hpp' '*.cc')
# One run over every file; each misformatted spot is reported as
# FILE:LINE:COLUMN: error: ...
report=$(clang-format --dry-run --Werror "${files[@]}" 2>&1) || true
mapfile -t unformatted < <(grep -oE '^[^:]+:[0-9]+:[0-9]+: error' <<<"$report" | cut -d: -f1 | sort -u)
if ((${#unformatted[@]} > 0)); then
    echo "Not formatted with the repository's .clang-format (run clang-format -i on them):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    exit 1
elif [ -n "$report" ]; then
    echo "$report" >&2 # clang-format itself failed
    exit 1
fi
echo "format: ${#files[@]} files as .clang-format wants them"
