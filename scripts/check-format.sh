#!/usr/bin/env bash
# Fails when a C++ source of ours differs from what clang-format makes of it (.clang-format at
# the root). scripts/check-format.sh --fix rewrites the files instead.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}"; then
    echo "Formatering: kör scripts/check-format.sh --fix" >&2
    exit 1
fi
