#!/usr/bin/env bash
# Merges the same generated plot files (every field shape, see
# make_field_shapes.cpp) with the native build and with each other build, in
# several dialogues, and compares every output byte, standard output,
# standard error and the exit status with the native build's.
# Usage: compare_builds.sh MAKE_FIELD_SHAPES NATIVE_PLOTMERGE BUILD...
# where each BUILD is "name|path of plotmerge|emulator command words".
set -u

if [ $# -lt 3 ]; then
    echo "usage: compare_builds.sh MAKE_FIELD_SHAPES NATIVE_PLOTMERGE 'name|plotmerge|emulator'..." >&2
    exit 2
fi
generator=$(realpath "$1")
native=$(realpath "$2")
shift 2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

lines=5000
mkdir "$scratch/inputs"
for seed in 1 2 3 4; do
    "$generator" "$seed" "$lines" "$scratch/inputs/in$seed.plt" || { echo "generating the inputs failed"; exit 1; }
done

# Each dialogue: the answers, one per |-separated field. Factors that scale
# values past the fields' limits and past single precision, negative
# factors for negative zero, and each count and mode.
DIALOGUES=(
    '4|in1.plt|in2.plt|in3.plt|in4.plt|1.0|0.5|-2.5|3E-1|A|Y'
    '3|in1.plt|in2.plt|in3.plt|1|1|1|S|Y'
    '1|in2.plt|-1.0|A|Y'
    '2|in3.plt|in4.plt|1E30|-1E30|S|Y'
    '2|in4.plt|in1.plt|0.1|-0.1|A|N'
    '4|in4.plt|in3.plt|in2.plt|in1.plt|7.3|-0.01|1D3|1.5+2|A|Y'
)

# Runs one dialogue in a fresh folder: run PLOTMERGE FOLDER ANSWERS [EMULATOR...]
run() {
    local plotmerge=$1 folder=$2 answers=$3
    shift 3
    mkdir -p "$folder"
    cp "$scratch"/inputs/*.plt "$folder/"
    tr '|' '\n' <<<"$answers" >"$folder/.answers"
    (cd "$folder" && "$@" "$plotmerge" <.answers >.stdout 2>.stderr; echo $? >.status)
    rm "$folder/.answers"
}

for number in "${!DIALOGUES[@]}"; do
    run "$native" "$scratch/native/$number" "${DIALOGUES[$number]}"
done

differences=0
for build in "$@"; do
    IFS='|' read -r name plotmerge emulator <<<"$build"
    read -r -a emulator_words <<<"$emulator"
    for number in "${!DIALOGUES[@]}"; do
        folder=$scratch/$name/$number
        run "$(realpath "$plotmerge")" "$folder" "${DIALOGUES[$number]}" "${emulator_words[@]}"
        if ! diff -r "$scratch/native/$number" "$folder" >"$scratch/diff"; then
            echo "$name differs from the native build in dialogue '${DIALOGUES[$number]}':"
            head -n 20 "$scratch/diff"
            differences=$((differences + 1))
        fi
    done
    bytes=$(cat "$scratch/$name"/*/*.PLT | wc -c)
    echo "$name: ${#DIALOGUES[@]} dialogues, $bytes output bytes compared"
done
if [ "$(cat "$scratch"/native/*/.status | sort -u)" != 0 ]; then
    echo "a native run failed:"
    cat "$scratch"/native/*/.stderr
    exit 1
fi
if [ "$differences" -ne 0 ]; then
    echo "FAILED: $differences dialogues differ"
    exit 1
fi
echo "every output byte is the same in every build"
