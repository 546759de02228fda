#!/usr/bin/env bash
# Checks that every C and C++ file git tracks is formatted by the repository's
# .clang-format, and lists those that are not.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h' '*.c' '*.hpp' '*.cc')
unformatted=()
for f in "${files[@]}"; do
    if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
        unformatted+=("$f")
    fi
done
if ((${#unformatted[@]} > 0)); then
    echo "Not formatted with the repository's .clang-format (run clang-format -i on them):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    exit 1
fi
echo "format: ${#files[@]} files as .clang-format wants them"
