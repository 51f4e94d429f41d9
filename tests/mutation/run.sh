#!/usr/bin/env bash
# How strong the tests are: makes each one-line fault of a list in the program's code, rebuilds and runs
# the unit, GL and sound-device tests, puts the file back, and prints one line a fault: file, name and the
# tests that failed ("crash" for a test program that died, SURVIVED when nothing failed). About ten seconds
# a fault, so CI does not run it. Run it from the project root on a clean tree:
#   tests/mutation/run.sh build [tests/mutation/faults.tsv] > results.tsv
# The list holds file, sed expression, name and the tests that caught the fault when it was written; most
# expressions are tied to a line number and need rewriting when their file changes.
set -u
build=$1
list=${2:-tests/mutation/faults.tsv}
targets=(unit_tests gl_tests platform_tests)
[ -z "$(git status --porcelain --untracked-files=no -- app ui render scene platform)" ] ||
    { echo "the program's code has changes: commit or stash them first" >&2; exit 2; }
trap 'git checkout -q -- app ui render scene platform; exit 130' INT TERM

while IFS=$'\t' read -r file expression name _; do
    sed -i "$expression" "$file"
    if git diff --quiet -- "$file"; then
        result=STALE
    elif ! ninja -C "$build" "${targets[@]}" >/dev/null 2>&1; then
        result="BUILD FAIL"
    else
        failed="" crashed=""
        for target in "${targets[@]}"; do
            output=$(timeout 300 "$build/tests/$target" --gtest_brief=1 2>&1) || crashed=crash
            failed+=$(grep -oP '^\[  FAILED  \] \K[A-Za-z]\w*\.\w+' <<<"$output" | tr '\n' ' ')
        done
        result=${failed:-${crashed:-SURVIVED}}
    fi
    git checkout -q -- "$file"
    printf '%s\t%s\t%s\n' "$file" "$name" "${result% }"
done < <(grep -v '^#' "$list")
ninja -C "$build" "${targets[@]}" >/dev/null 2>&1
