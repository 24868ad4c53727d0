#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang (build-fuzz/) and runs each from the seed corpus in
# fuzz/corpus/. Options go to libFuzzer; the default is a short fixed run:
#   scripts/fuzz.sh                        # -runs=20000 each, as CI runs them
#   scripts/fuzz.sh -max_total_time=600    # ten minutes each
# New inputs are kept in a scratch folder, not in the seed corpus; a failing input is written to
# build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

options=("$@")
if [ ${#options[@]} -eq 0 ]; then
    options=(-runs=20000)
fi

CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DQUARROW_FUZZ=ON >/dev/null
cmake --build build-fuzz

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p build-fuzz/artifacts
status=0
for seeds in fuzz/corpus/*/; do
    name=$(basename "$seeds")
    echo "== fuzz $name"
    cp -r "$seeds" "$scratch/$name"
    if ! build-fuzz/fuzz/"${name}"_fuzz -seed=1 -artifact_prefix=build-fuzz/artifacts/"$name"- \
        "${options[@]}" "$scratch/$name" 2>"$scratch/$name.log"; then
        grep -E "ERROR|SUMMARY|#[0-9]+ 0x" "$scratch/$name.log" | head -20
        status=1
    fi
    grep -E "^Done|^#[0-9]+.*DONE" "$scratch/$name.log" || true
done

# The disc harnesses start from seeds made with the field's tools: images, and the reports of them.
fuzz/disc_seeds.sh "$scratch/disc"
export LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp"
for harness in image reports trace volume; do
    echo "== fuzz disc_$harness"
    limits=(-max_len=4096)
    seeds=$harness
    [ "$harness" = volume ] && seeds=image
    [ "$seeds" = image ] && limits=(-max_len=400000 -len_control=0)
    disc_options=("${options[@]}")
    # An image input is large: the default short run of the image reader is smaller.
    [ $# -eq 0 ] && [ "$seeds" = image ] && disc_options=(-runs=3000)
    if ! build-fuzz/fuzz/disc_"$harness"_fuzz -seed=1 -artifact_prefix=build-fuzz/artifacts/disc_"$harness"- \
        "${limits[@]}" "${disc_options[@]}" "$scratch/disc/$seeds" 2>"$scratch/disc_$harness.log"; then
        grep -E "ERROR|SUMMARY|#[0-9]+ 0x" "$scratch/disc_$harness.log" | head -20
        status=1
    fi
    grep -E "^Done|^#[0-9]+.*DONE" "$scratch/disc_$harness.log" || true
done
exit $status
