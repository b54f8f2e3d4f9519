#!/bin/bash
# Builds the Debian package with CPack into a temporary folder, checks its
# metadata and contents, and runs the packaged plotmerge on a small merge
# whose result is known, and on the packaged examples. lintian finds no error
# in it; its warnings, if any, are shown.
#
# Usage: check_deb_package.sh CPACK BUILD_DIR DATA_DIR VERSION SOURCE_DIR
# Exit status 77 (skipped) when the packaging tools are missing.
set -u

cpack_command=$1 build_dir=$2 data_dir=$3 version=$4 source_dir=$5
here=$(dirname "$0")

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }

[[ -x $cpack_command ]] || skip "cpack not found at '$cpack_command'"
command -v dpkg-deb >/dev/null || skip "dpkg-deb not found (package dpkg)"
command -v dpkg-shlibdeps >/dev/null || skip "dpkg-shlibdeps not found (package dpkg-dev)"
command -v lintian >/dev/null || skip "lintian not found (package lintian)"
command -v groff >/dev/null || skip "groff not found (package groff-base)"
[[ -f $build_dir/CPackConfig.cmake ]] || fail "no CPackConfig.cmake in $build_dir"

work=$(mktemp -d)
# The build folder's install manifest, which lists what `cmake --install`
# put where, is set aside for the test and put back at its end.
manifest=$build_dir/install_manifest.txt
own_manifest=$work/own_install_manifest.txt
[[ -f $manifest ]] && cp -p "$manifest" "$own_manifest"
put_back_manifest() {
    if [[ -f $own_manifest ]]; then cp -p "$own_manifest" "$manifest"; else rm -f "$manifest"; fi
}
trap 'put_back_manifest; rm -rf "$work"' EXIT

# --- build the package ------------------------------------------------------
# cpack installs through the build folder's install script; the manifest of
# an earlier source install must come through unchanged.
printf '%s\n' /opt/source-install/bin/plotmerge /opt/source-install/share/man/man1/plotmerge.1 >"$manifest"
cp "$manifest" "$work/manifest_before"
if ! "$cpack_command" --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    fail "cpack -G DEB"
fi
cmp -s "$work/manifest_before" "$manifest" || { head -3 "$manifest"; fail "cpack changed install_manifest.txt"; }
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
[[ -n $(field Description) ]] || fail "Description is empty"
# Debian's form "name <address>", naming the project.
maintainer=$(field Maintainer)
[[ $maintainer =~ ^[^\<\>@]*plotmerge[^\<\>@]*\ \<[^\<\>@\ ]+@[^\<\>@\ ]+\.[^\<\>@\ ]+\>$ ]] ||
    fail "Maintainer '$maintainer' is not a name naming plotmerge and a mail address"

# --- lintian: no error ------------------------------------------------------
# (lintian warns that it runs as root; that line is not about the package.)
lintian_report=$(lintian --fail-on error "$deb" 2>&1)
lintian_status=$?
lintian_report=$(grep -v '^running with root privileges' <<<"$lintian_report")
[[ -z $lintian_report ]] || printf 'lintian says:\n%s\n' "$lintian_report"
[[ $lintian_status == 0 ]] || fail "lintian found errors (status $lintian_status)"

# --- contents ---------------------------------------------------------------
root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x"
plotmerge=$root/usr/bin/plotmerge
[[ -x $plotmerge ]] || fail "usr/bin/plotmerge missing or not executable"
page=$root/usr/share/man/man1/plotmerge.1.gz
[[ -f $page ]] || fail "usr/share/man/man1/plotmerge.1.gz missing"
bash "$here/check_manual_page.sh" "$page" "$source_dir/man/plotmerge.1.in" "$version" || fail "the installed manual page"

# The licence as Debian's machine-readable copyright file: the MIT terms of
# LICENSE, every line indented by one blank and an empty line written " .".
doc=$root/usr/share/doc/plotmerge
copyright=$doc/copyright
[[ -f $copyright ]] || fail "usr/share/doc/plotmerge/copyright missing"
{
    echo 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/'
    echo 'Upstream-Name: plotmerge'
    echo
    echo 'Files: *'
    echo 'Copyright: 2026 the plotmerge authors'
    echo 'License: Expat'
    sed -n '/^Permission is hereby granted/,$p' "$source_dir/LICENSE" | sed 's/^$/./; s/^/ /'
} >"$work/expected_copyright"
grep -qx 'Copyright (c) 2026 the plotmerge authors' "$source_dir/LICENSE" || fail "LICENSE lacks its copyright line"
cmp "$work/expected_copyright" "$copyright" || { diff "$work/expected_copyright" "$copyright"; fail "copyright differs"; }

# The changelog, compressed with gzip -9n: no file name and no time stamp in
# the gzip header (flags byte 3 without FNAME, bytes 4 to 7 zero).
changelog=$doc/changelog.gz
[[ -f $changelog ]] || fail "usr/share/doc/plotmerge/changelog.gz missing"
gzip -t "$changelog" || fail "changelog.gz is not a gzip file"
header=$(od -An -tx1 -N8 "$changelog" | tr -d ' \n')
[[ $header == 1f8b080000000000 ]] || fail "changelog.gz header $header holds a name or time stamp"
gzip -dc "$changelog" | head -1 | grep -q "^plotmerge ($version) " || fail "the changelog's latest entry is not for version $version"
gzip -dc "$changelog" | grep -qF -- " -- $maintainer  " || fail "the changelog is not signed by the maintainer $maintainer"

# --- a merge with a known result --------------------------------------------
# Two inputs, factors 1.0 and 0.5, average, with risk output. Input a has
# three lines and b four, so the merge ends after three positions.
#   position 1: header of a, padded to 120 columns
#   position 2: (4 + 0.5 * 4) / 2 = 3;        risk 744 * 3 = 2232
#   position 3: (30 + 0.5 * 1.25) / 2 = 15.3125; risk 744 * 15.3125 = 11392.5
# The nine other fields come from b, the last input; b writes its x as
# 100.000, the same receptor as a's 100.00000, so no receptor warning is
# expected; b's fourth line left draws the one warning.
scratch=$work/scratch
mkdir "$scratch"
cp "$data_dir/a.plt" "$data_dir/b.plt" "$scratch/"
(cd "$scratch" && printf '2\na.plt\nb.plt\n1.0\n0.5\nA\nY\n' | "$plotmerge" >stdout 2>stderr)
status=$?
[[ $status == 0 ]] || { cat "$scratch/stderr"; fail "merge ended with status $status"; }
[[ $(cat "$scratch/stderr") == "plotmerge: warning: 'a.plt' had no line left after line 3, while 1 other input still had lines, first 'b.plt': their later lines were not merged" ]] ||
    { cat "$scratch/stderr"; fail "merge wrote another standard error"; }

printf '%s\n' \
    ' Type in the # of .PLT files for process, max # is 4.' \
    ' Type in two input file(s) name(s):' \
    ' Provide scaling factors for above .PLT files, 1.0 for no scaling.' \
    ' Average or Sum? A/S' \
    ' Create a 30-yr RISK.PLT from the PLT?  Y/N' >"$work/expected_stdout"
cmp "$work/expected_stdout" "$scratch/stdout" || fail "prompts differ"

carried_front='     100.00000     '
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

# --- --version and --help ----------------------------------------------------
# Each answers on standard output with status 0 instead of the dialogue: no
# prompt and no file opened, although answers are waiting.
options=$work/options
mkdir "$options"
cp "$data_dir/a.plt" "$options/"
for option in --version --help; do
    (cd "$options" && printf '1\na.plt\n1.0\nS\nN\n' | "$plotmerge" "$option" >"stdout$option" 2>stderr)
    status=$?
    [[ $status == 0 && ! -s $options/stderr ]] || fail "$option ended with status $status: $(cat "$options/stderr")"
    [[ ! -e $options/SUM_CONC.PLT ]] || fail "$option ran the dialogue"
    grep -q '^ Type in' "$options/stdout$option" && fail "$option printed a prompt"
done
cmp -s "$options/stdout--version" <(echo "plotmerge $version") || fail "--version does not print 'plotmerge $version'"
grep -q 'man plotmerge' "$options/stdout--help" || fail "--help does not say where the manual is"

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

# --- plotmap ----------------------------------------------------------------
# The packaged plotmap maps input a (two receptors) and lists both, the
# higher (30 on line 3) first; its manual page is there and formats cleanly.
plotmap=$root/usr/bin/plotmap
[[ -x $plotmap ]] || fail "usr/bin/plotmap missing or not executable"
map_page=$root/usr/share/man/man1/plotmap.1.gz
[[ -f $map_page ]] || fail "usr/share/man/man1/plotmap.1.gz missing"
bash "$here/check_plotmap_manual_page.sh" "$map_page" "$source_dir/man/plotmap.1.in" "$version" || fail "plotmap's installed manual page"
(cd "$scratch" && "$plotmap" a.plt >map_table 2>map_errors)
status=$?
[[ $status == 0 && ! -s $scratch/map_errors ]] || { cat "$scratch/map_errors"; fail "plotmap ended with status $status"; }
printf '%s\n' \
    'rank       line             x             y         value  tag_a   tag_b     tag_c' \
    '   1          3     100.00000     300.00000      30.00000  ANNUAL  GROUPA    NETA' \
    '   2          2     100.00000     200.00000       4.00000  ANNUAL  GROUPA    NETA' >"$work/expected_map_table"
cmp "$work/expected_map_table" "$scratch/map_table" || fail "plotmap's table differs"
head -c 200 "$scratch/a.svg" | grep -q '<svg xmlns="http://www.w3.org/2000/svg"' || fail "plotmap wrote no SVG map"

# --- a source install is removed as the README says ----------------------
prefix=$work/prefix
"$(dirname "$cpack_command")/cmake" --install "$build_dir" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; fail "cmake --install"; }
[[ -x $prefix/bin/plotmerge && -f $prefix/share/doc/plotmerge/copyright ]] || fail "cmake --install left out files"
xargs -d '\n' rm -f -- <"$manifest"
find "$prefix/share/doc/plotmerge" -depth -type d -empty -delete
left=$(cd "$prefix" && find . -type f -o -type l -o -type d -path '*plotm*')
[[ -z $left ]] || fail "removing the source install left: $left"

echo "package $(basename "$deb") checked"
