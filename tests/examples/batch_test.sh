#!/usr/bin/env bash
# Runs the batch example (examples/batch) the way its Makefile documents, on a
# copy in a scratch folder: every scenario merged with make -j and checked
# against outputs worked out by hand; a failing scenario fails make; a
# scenario whose inputs' receptors differ warns, and fails under STRICT=1.
# Usage: batch_test.sh PLOTMERGE EXAMPLE_FOLDER EXPECTED_FOLDER
set -u
plotmerge=$(realpath "$1")
example=$(realpath "$2")
expected=$(realpath "$3")

if ! command -v make >/dev/null; then
    echo "skipped: make is not installed"
    exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

batch=$scratch/batch
cp -r "$example" "$batch"
listing() { (cd "$batch" && find . -type f | LC_ALL=C sort); }
shipped=$(listing)

# Runs make in the copy with the given arguments; sets status, out and err.
run_make() {
    make -C "$batch" --no-print-directory "PLOTMERGE=$plotmerge" "$@" >"$scratch/out" 2>"$scratch/err"
    status=$?
    out=$(LC_ALL=C sort "$scratch/out")
    err=$(cat "$scratch/err")
}

# --- every scenario merges, at once --------------------------------------------
run_make -j2
[[ $status == 0 ]] || fail "make -j2 ended with status $status: $err"
[[ -z $err ]] || fail "make -j2 wrote to standard error: $err"
[[ $out == $'new-stack-half-load: merged\nsource-groups: merged\nyears-2019-2021: merged' ]] ||
    fail "make -j2 did not report every scenario merged: $out"
while IFS= read -r file; do
    cmp -s "$expected/$file" "$batch/$file" || fail "$file differs from the expected output"
done < <(cd "$expected" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)

# --- the job array script: one scenario per task --------------------------------
run_make clean
for task in 0 1 2; do
    (cd "$batch" && SLURM_ARRAY_TASK_ID=$task PLOTMERGE=$plotmerge bash slurm-array.sh) 2>"$scratch/err" ||
        fail "array task $task ended with status $?: $(cat "$scratch/err")"
    [[ ! -s $scratch/err ]] || fail "array task $task wrote to standard error: $(cat "$scratch/err")"
done
while IFS= read -r file; do
    cmp -s "$expected/$file" "$batch/$file" || fail "$file of the array tasks differs from the expected output"
done < <(cd "$expected" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)

# --- make clean leaves the example as shipped -----------------------------------
run_make clean
[[ $status == 0 && $(listing) == "$shipped" ]] || fail "make clean did not leave the example as shipped"

# --- a failed merge fails make; with -k the others still run --------------------
mkdir "$batch/broken"
cp "$batch"/source-groups/*.plt "$batch/broken/"
printf '2\nboilers.plt\ntraffic.plt\n1.0\nhalf\nS\nN\n' >"$batch/broken/answers"
run_make -k -j2
[[ $status != 0 ]] || fail "make succeeded though the scenario 'broken' failed"
[[ $err == *"broken: plotmerge: reading an answer"* && $err == *"broken: plotmerge failed with status 2"* ]] ||
    fail "the failure of 'broken' was not shown with its name: $err"
[[ $out == $'new-stack-half-load: merged\nsource-groups: merged\nyears-2019-2021: merged' ]] ||
    fail "with -k the other scenarios were not all merged: $out"
[[ ! -e $batch/broken/SUM_CONC.PLT ]] || fail "the broken scenario has an output"
rm -r "$batch/broken"
run_make clean

# --- receptors that differ: a warning, and a failure under STRICT ----------------
# traffic.plt without its second receptor: lines 6 and 7 pair boilers'
# (42600, 61250) and (42500, 61350) with traffic's next receptors; traffic
# then ends, so 3 data lines are merged.
mkdir "$batch/shifted"
cp "$batch"/source-groups/* "$batch/shifted/"
sed -i '6d' "$batch/shifted/traffic.plt"
warning="shifted: plotmerge: warning: receptors differ at 2 of 3 data lines; first at line 6 of 'boilers.plt' (42600.00000, 61250.00000) against line 6 of 'traffic.plt' (42500.00000, 61350.00000)"
lines_left="shifted: plotmerge: warning: 'traffic.plt' had no line left after line 7, while 1 other input still had lines, first 'boilers.plt': their later lines were not merged"
run_make -j2
[[ $status == 0 ]] || fail "a warning alone failed make: $err"
[[ $err == "$warning"$'\n'"$lines_left" ]] || fail "the warnings of 'shifted' differ: $err"
run_make -j2 STRICT=1
[[ $status != 0 ]] || fail "STRICT=1 did not fail make on the warning"
[[ $err == *"$warning"* && $err == *"shifted: a warning, and STRICT is set"* ]] || fail "STRICT=1 said: $err"

if ((failures > 0)); then exit 1; fi
echo "passed: batch example"
