#!/usr/bin/env bash
# Builds the Windows ZIP package with cpack and checks it: one folder
# plotmerge-<version>-win64 holding plotmerge.exe, README.md, LICENSE, the
# examples with their answer files and the manual as plain text carrying the
# version; then plotmerge.exe taken from the package merges an example
# through the emulator, writing lines that end in LF alone.
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
for file in plotmerge.exe README.md LICENSE plotmerge.txt examples/average-two.answers examples/run1.plt; do
    [[ -f $top/$file ]] || fail "the package lacks $file"
done
if [[ -f $top/plotmerge.txt ]]; then
    grep -q "plotmerge $version" "$top/plotmerge.txt" || fail "the manual does not carry version $version"
    grep -q $'[\b\x1b]' "$top/plotmerge.txt" && fail "the manual holds backspaces or escape sequences"
fi
(( failed == 0 )) || exit 1

# average-two.answers merges run1.plt and run2.plt into AVG_CONC.PLT and RISK.PLT.
work=$scratch/run
cp -r "$top/examples" "$work"
(cd "$work" && "${emulator[@]}" "$top/plotmerge.exe" <average-two.answers >stdout.txt 2>stderr.txt)
status=$?
[[ $status == 0 ]] || fail "plotmerge.exe from the package ended with status $status: $(cat "$work/stderr.txt")"
[[ -s $work/AVG_CONC.PLT ]] || fail "plotmerge.exe from the package wrote no AVG_CONC.PLT"
grep -q $'\r' "$work/stdout.txt" "$work/AVG_CONC.PLT" && fail "the Windows build wrote a CR"
(( failed == 0 )) && echo "package plotmerge-$version-win64.zip checked"
exit "$failed"
