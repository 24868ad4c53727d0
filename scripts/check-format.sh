#!/usr/bin/env bash
# Checks that C++ files are formatted as .clang-format says, changing nothing:
#   scripts/check-format.sh          every C++ file of the repository (what CI runs)
#   scripts/check-format.sh BASE     only the files changed since BASE (a branch, tag or commit)
# To format a file instead: clang-format -i FILE.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang-format >/dev/null; then
    echo "check-format: clang-format is not installed (scripts/install-deps.sh)" >&2
    exit 2
fi
if [ $# -eq 0 ]; then
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
    mapfile -t files < <(git diff --name-only --diff-filter=d "$1" -- '*.cpp' '*.h')
fi
if [ ${#files[@]} -eq 0 ]; then
    echo "format: no C++ file to check"
    exit 0
fi
clang-format --dry-run --Werror "${files[@]}"
echo "format: ${#files[@]} C++ files as .clang-format says ($(clang-format --version))"
