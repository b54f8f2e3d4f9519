#!/bin/bash
# Builds the Debian package with CPack into a temporary folder, checks its
# metadata and contents, and runs the packaged plotmerge on a small merge
# whose result is known, and on the packaged examples.
#
# Usage: check_deb_package.sh CPACK BUILD_DIR DATA_DIR VERSION
# Exit status 77 (skipped) when the packaging tools are missing.
set -u

cpack_command=$1 build_dir=$2 data_dir=$3 version=$4

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }

[[ -x $cpack_command ]] || skip "cpack not found at '$cpack_command'"
command -v dpkg-deb >/dev/null || skip "dpkg-deb not found (package dpkg)"
command -v dpkg-shlibdeps >/dev/null || skip "dpkg-shlibdeps not found (package dpkg-dev)"
[[ -f $build_dir/CPackConfig.cmake ]] || fail "no CPackConfig.cmake in $build_dir"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# --- build the package ------------------------------------------------------
if ! "$cpack_command" --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    fail "cpack -G DEB"
fi
architecture=$(dpkg --print-architecture)
deb=$work/out/plotmerge_${version}_${architecture}.deb
[[ -f $deb ]] || { ls "$work/out"; fail "expected package file $(basename "$deb")"; }

# --- metadata ---------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == plotmerge ]] || fail "Package is '$(field Package)'"
[[ $(field Version) == "$version" ]] || fail "Version is '$(field Version)'"
[[ $(field Section) == utils ]] || fail "Section is '$(field Section)'"
[[ $(field Architecture) == "$architecture" ]] || fail "Architecture is '$(field Architecture)'"
[[ -n $(field Depends) ]] || fail "Depends is empty"
[[ $(field Depends) == *libc6* ]] || fail "Depends lacks libc6: '$(field Depends)'"
[[ -n $(field Maintainer) ]] || fail "Maintainer is empty"
[[ -n $(field Description) ]] || fail "Description is empty"

# --- contents ---------------------------------------------------------------
root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x"
plotmerge=$root/usr/bin/plotmerge
[[ -x $plotmerge ]] || fail "usr/bin/plotmerge missing or not executable"
pages=("$root"/usr/share/man/man1/plotmerge.1*)
[[ -f ${pages[0]} ]] || fail "usr/share/man/man1/plotmerge.1* missing"
page_text=$(if [[ ${pages[0]} == *.gz ]]; then gzip -dc "${pages[0]}"; else cat "${pages[0]}"; fi)
grep -q "^\.TH PLOTMERGE 1 .*plotmerge $version" <<<"$page_text" || fail "manual page lacks its title line with version $version"
grep -q '@[A-Z_]*@' <<<"$page_text" && fail "manual page holds an unreplaced @VARIABLE@"

# --- a merge with a known result --------------------------------------------
# Two inputs, factors 1.0 and 0.5, average, with risk output. Input a has
# three lines and b four, so the merge ends after three positions.
#   position 1: header of a, padded to 120 columns
#   position 2: (4 + 0.5 * 4) / 2 = 3;        risk 744 * 3 = 2232
#   position 3: (30 + 0.5 * 1.25) / 2 = 15.3125; risk 744 * 15.3125 = 11392.5
# The nine other fields come from b, the last input.
scratch=$work/scratch
mkdir "$scratch"
cp "$data_dir/a.plt" "$data_dir/b.plt" "$scratch/"
(cd "$scratch" && printf '2\na.plt\nb.plt\n1.0\n0.5\nA\nY\n' | "$plotmerge" >stdout 2>stderr)
status=$?
[[ $status == 0 ]] || { cat "$scratch/stderr"; fail "merge ended with status $status"; }
[[ ! -s $scratch/stderr ]] || { cat "$scratch/stderr"; fail "merge wrote to standard error"; }

printf '%s\n' \
    ' Type in the # of .PLT files for process, max # is 4.' \
    ' Type in two input file(s) name(s):' \
    ' Provide scaling factors for above .PLT files, 1.0 for no scaling.' \
    ' Average or Sum? A/S' \
    ' Create a 30-yr RISK.PLT from the PLT?  Y/N' >"$work/expected_stdout"
cmp "$work/expected_stdout" "$scratch/stdout" || fail "prompts differ"

carried_front='     100.50000     '
carried_back='     1.25     2.25     3.25  PERIOD  GROUPB    00000042  NETB    '
expected_lines() {  # header, then the value fields of the two data lines
    printf '%-120s\n' '* header of input a'
    printf '%s200.00000 %13s%s\n' "$carried_front" "$1" "$carried_back"
    printf '%s300.00000 %13s%s\n' "$carried_front" "$2" "$carried_back"
}
expected_lines 3.00000 15.31250 >"$work/expected_avg"
expected_lines 2232.00000 11392.50000 >"$work/expected_risk"
cmp "$work/expected_avg" "$scratch/AVG_CONC.PLT" || fail "AVG_CONC.PLT differs"
cmp "$work/expected_risk" "$scratch/RISK.PLT" || fail "RISK.PLT differs"
[[ ! -e $scratch/SUM_CONC.PLT ]] || fail "SUM_CONC.PLT was created in average mode"

# --- the packaged examples run to the end -----------------------------------
examples=$root/usr/share/doc/plotmerge/examples
for answers in "$examples"/*.answers; do
    [[ -f $answers ]] || continue
    run=$work/example_$(basename "$answers" .answers)
    cp -r "$examples" "$run"
    (cd "$run" && "$plotmerge" <"$(basename "$answers")" >/dev/null 2>stderr)
    status=$?
    [[ $status == 0 && ! -s $run/stderr ]] || { cat "$run/stderr"; fail "example $(basename "$answers") ended with status $status"; }
    compgen -G "$run/*_CONC.PLT" >/dev/null || fail "example $(basename "$answers") wrote no combined output"
done

echo "package $(basename "$deb") checked"
