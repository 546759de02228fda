#!/usr/bin/env bash
# Compares the functions a shared object exports with the global list of its
# version script.
set -euo pipefail
lib=$1
map=$2
expected=$(grep -E '^ +[A-Za-z_][A-Za-z0-9_]*;' "$map" | tr -d ' ;' | sort)
actual=$(nm -D --defined-only "$lib" | awk '$2 ~ /^[TtWi]$/ {print $3}' | sed 's/@.*//' | sort)
if [ "$expected" != "$actual" ]; then
    echo "exports differ from $map:" >&2
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    exit 1
fi
echo "exports: $(echo "$actual" | wc -l) functions, as listed"
