#!/usr/bin/env bash
# Builds the Windows ZIP package with cpack and checks it: one folder
# plotmerge-<version>-win64 holding plotmerge.exe, plotmap.exe, README.md,
# LICENSE, the examples with their answer files and batch file, and both
# manuals as plain text carrying the version; then plotmerge.exe taken from
# the package prints its version and merges an example through the
# emulator, writing lines that end in LF alone, and the batch file merges
# the batch example with it.
# Usage: check_windows_zip.sh CPACK BUILD_FOLDER VERSION SOURCE_FOLDER EMULATOR...
set -u
cpack=$1 build=$2 version=$3 source=$4
shift 4
emulator=("$@")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

(cd "$build" && "$cpack" -G ZIP -B "$scratch/out" >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; exit 1; }
zip=$scratch/out/plotmerge-$version-win64.zip
[[ -f $zip ]] || { fail "cpack made no $(basename "$zip")"; exit 1; }
(cd "$scratch" && cmake -E tar xf "$zip") || { fail "the package cannot be unpacked"; exit 1; }
top=$scratch/plotmerge-$version-win64
for file in plotmerge.exe plotmap.exe README.md LICENSE plotmerge.txt plotmap.txt examples/average-two.answers \
    examples/run1.plt examples/batch/merge-all.bat; do
    [[ -f $top/$file ]] || fail "the package lacks $file"
done
for manual in plotmerge plotmap; do
    [[ -f $top/$manual.txt ]] || continue
    grep -q "$manual $version" "$top/$manual.txt" || fail "the manual $manual.txt does not carry version $version"
    grep -q $'[\b\x1b]' "$top/$manual.txt" && fail "the manual $manual.txt holds backspaces or escape sequences"
done
(( failed == 0 )) || exit 1

# average-two.answers merges run1.plt and run2.plt into AVG_CONC.PLT and RISK.PLT;
# with --version the version is printed instead, and nothing is merged.
work=$scratch/run
cp -r "$top/examples" "$work"
(cd "$work" && "${emulator[@]}" "$top/plotmerge.exe" --version <average-two.answers >version.txt 2>&1)
status=$?
cmp -s "$work/version.txt" <(echo "plotmerge $version") && [[ $status == 0 ]] ||
    fail "plotmerge.exe --version ended with status $status and printed: $(cat -A "$work/version.txt")"
[[ -e $work/AVG_CONC.PLT ]] && fail "plotmerge.exe --version ran the dialogue"
(cd "$work" && "${emulator[@]}" "$top/plotmerge.exe" <average-two.answers >stdout.txt 2>stderr.txt)
status=$?
[[ $status == 0 ]] || fail "plotmerge.exe from the package ended with status $status: $(cat "$work/stderr.txt")"
[[ -s $work/AVG_CONC.PLT ]] || fail "plotmerge.exe from the package wrote no AVG_CONC.PLT"
grep -q $'\r' "$work/stdout.txt" "$work/AVG_CONC.PLT" && fail "the Windows build wrote a CR"
# The batch file for cmd merges every scenario of the batch example with
# the package's plotmerge.exe, as the Makefile does; a scenario that fails is
# named with its diagnostic, the others are still merged, and the status is 1.
# The order of the scenarios is the folder listing's, so lines are sorted.
batch=$top/examples/batch
expected=$source/tests/examples/batch_expected
merged=$'new-stack-half-load: merged\nsource-groups: merged\nyears-2019-2021: merged'
run_batch_file() {
    (cd "$batch" && "${emulator[@]}" cmd /c merge-all.bat >"$scratch/batch_out" 2>"$scratch/batch_err")
    status=$?
    out=$(tr -d '\r' <"$scratch/batch_out" | LC_ALL=C sort)
    err=$(tr -d '\r' <"$scratch/batch_err")
}
run_batch_file
[[ $status == 0 && -z $err ]] || fail "merge-all.bat ended with status $status: $err"
[[ $out == "$merged" ]] || fail "merge-all.bat did not report every scenario merged: $out"
while IFS= read -r file; do
    cmp -s "$expected/$file" "$batch/$file" || fail "$file of merge-all.bat differs from the expected output"
done < <(cd "$expected" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
mkdir "$batch/broken"
cp "$batch"/source-groups/*.plt "$batch/broken/"
printf '2\nboilers.plt\ntraffic.plt\n1.0\nhalf\nS\nN\n' >"$batch/broken/answers"
run_batch_file
[[ $status == 1 ]] || fail "merge-all.bat ended with status $status though the scenario 'broken' failed"
[[ $err == *"broken: plotmerge: reading an answer"* && $err == *"broken: plotmerge failed with status 2"* ]] ||
    fail "merge-all.bat did not show the failure of 'broken' with its name: $err"
[[ $out == "$merged" ]] || fail "merge-all.bat did not merge the other scenarios: $out"

(( failed == 0 )) && echo "package plotmerge-$version-win64.zip checked"
exit "$failed"
