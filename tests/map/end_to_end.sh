#!/bin/bash
# Runs the built plotmap on small hand-made plot files: the table of highest
# receptors byte for byte, the diagnostics and exit statuses of failures, the
# files it writes and the ones it must not, and that every map parses as XML.
#
# Usage: end_to_end.sh PLOTMAP TEST_DIR VERSION
set -u

plotmap=$1 test_dir=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# One data line: x, y, value, then the three text fields.
data_line() {
    printf ' %13s %13s %13s %8s %8s %8s  %-6s  %-8s  %8s  %-8s\n' "$1" "$2" "$3" 1.00 2.00 3.00 "$4" "$5" 23011524 "$6"
}

# A 3 x 3 grid, 100 units apart, on lines 3 to 11: zero at (0, 0), the highest
# at (200, 200), and 7 twice in the top row.
make_grid() {
    printf '* GRID TEST MAP   \n*  second header\n'
    data_line 0.00000 0.00000 0.00000 ANNUAL GRP1 NET1
    data_line 100.00000 0.00000 1.00000 ANNUAL GRP1 NET1
    data_line 200.00000 0.00000 2.00000 ANNUAL GRP1 NET1
    data_line 0.00000 100.00000 3.00000 ANNUAL GRP1 NET1
    data_line 100.00000 100.00000 4.00000 ANNUAL GRP1 NET1
    data_line 200.00000 100.00000 5.00000 ANNUAL GRP1 NET1
    data_line 0.00000 200.00000 7.00000 ANNUAL LEFT NET1
    data_line 100.00000 200.00000 7.00000 ANNUAL MIDDLE NET1
    data_line 200.00000 200.00000 9.00000 ANNUAL TOP 'NET 9'
}

# Runs plotmap with the arguments; keeps stdout, stderr and the status.
run() {
    "$plotmap" "$@" >out 2>err
    status=$?
}

expect_status() { [[ $status == "$1" ]] || { fail "$2: status $status, not $1"; cat err; }; }
expect_stderr() {
    printf '%s\n' "$@" >expected_err
    cmp -s expected_err err || { fail "standard error differs"; diff expected_err err; }
}
parses() { python3 "$test_dir/check_map.py" "$1" || fail "$1 does not parse as an SVG document"; }

make_grid >grid.plt

# --- the table of highest receptors ----------------------------------------
run --top 3 grid.plt
expect_status 0 "a map of the grid"
[[ ! -s err ]] || fail "standard error holds: $(cat err)"
cat >expected_table <<'TABLE'
rank       line             x             y         value  tag_a   tag_b     tag_c
   1         11     200.00000     200.00000       9.00000  ANNUAL  TOP       NET 9
   2          9       0.00000     200.00000       7.00000  ANNUAL  LEFT      NET1
   3         10     100.00000     200.00000       7.00000  ANNUAL  MIDDLE    NET1
TABLE
cmp -s expected_table out || { fail "the table differs"; diff expected_table out; }
[[ -f grid.svg ]] || fail "no grid.svg written"
parses grid.svg
grep -q '<title>GRID TEST MAP</title>' grid.svg || fail "the first header line is not the title"
grep -q '>grid.plt, 9 receptors<' grid.svg || fail "the file name and receptor count are not shown"
grep -q 'highest 9.00000 at 200.00000, 200.00000' grid.svg || fail "the highest receptor is not labelled"

# Read from a pipe through /dev/stdin, or with standard input redirected from
# the file itself, the table is the same: reading beside a stream harms nothing.
cat grid.plt | "$plotmap" --top 3 -o piped.svg /dev/stdin >out 2>err
status=$?
expect_status 0 "a pipe through /dev/stdin"
cmp -s expected_table out || fail "the table read through /dev/stdin differs"
run --top 3 -o redirected.svg grid.plt <grid.plt
expect_status 0 "standard input redirected from the file"
cmp -s expected_table out || fail "the table with standard input from the file differs"

# The default of 10 shows all nine, in the same order.
run grid.plt
{ head -n 1 expected_table; } >expected_head
head -n 1 out | cmp -s expected_head - || fail "the heading of the default table differs"
[[ $(wc -l <out) == 10 ]] || fail "the default table does not list all nine receptors"
tail -n 1 out | grep -q '^   9          3       0.00000       0.00000       0.00000  ANNUAL  GRP1      NET1$' ||
    fail "the zero receptor is not last: $(tail -n 1 out)"

# The same file gives the same bytes.
cp grid.svg first.svg
run grid.plt
cmp -s first.svg grid.svg || fail "a second run wrote different bytes"

# --- where the map goes -----------------------------------------------------
run -o - --top 5 grid.plt
expect_status 0 "the map on standard output"
cmp -s out grid.svg || fail "the map on standard output differs from the file, or a table came with it"
mkdir -p sub
cp grid.plt sub/RISK.PLT
run --top 0 sub/RISK.PLT
expect_status 0 "a file in a folder"
[[ -f RISK.svg && ! -e sub/RISK.svg ]] || fail "the map of sub/RISK.PLT is not RISK.svg in the current folder"
[[ ! -s out ]] || fail "--top 0 printed: $(cat out)"
run --title 'Tom & Jerry <"1">' -o titled.svg grid.plt
parses titled.svg
grep -q '<title>Tom &amp; Jerry &lt;&quot;1&quot;&gt;</title>' titled.svg || fail "--title is not the escaped title"

# --- a layout declared by a FORMAT line ------------------------------------
# 149 columns: x F13.5 (2-14), y F16.4 (16-31), I8 (34-41), value E14.6
# (43-56), a second value field E13.5 (58-70), F8.2, A4 (83-86), A9 (89-97)
# and, past column 120, A12 (138-149). The map and the table use the first
# value field; the second ranks the lines the other way round.
wide_line() { printf ' %13s %16s  %8s %14s %13s %8s   %-4s  %-9s%40s%-12s\n' "$1" "$2" "$3" "$4" "$5" "$6" "$7" "$8" '' "$9"; }
make_wide() {
    printf '*  WIDE LAYOUT TEST\n'
    printf '*         FORMAT: (1X,F13.5,1X,F16.4,2X,I8,1X,E14.6,1X,E13.5,1X,F8.2,3X,A4,2X,A9,40X,A12)\n'
    wide_line 0.00000 0.0000 17 0.295718E-05 9.0 1.00 LOW GROUP-ONE FAR-TEXT-1
    wide_line 100.00000 0.0000 "$1" 2.5E-4 1.0 1.00 TOP GROUP-TWO FAR-TEXT-2
    wide_line 0.00000 100.0000 19 -1.5 5.0 1.00 NEG GROUP-3 'FAR 3'
    wide_line 100.00000 100.0000 20 295718E-5 2.0 1.00 SAME GROUP-ONE ''
}
make_wide 18 >wide.plt
run wide.plt
expect_status 0 "a map of a declared layout"
[[ ! -s err ]] || fail "standard error holds: $(cat err)"
# Each number in its own field's form, in a column of max(13, width); the A4
# column as wide as its heading; 295718E-5 reads with 6 implied decimals, so
# it ties with line 3 and follows it.
cat >expected_wide <<'TABLE'
rank       line             x                y          value  tag_a  tag_b      tag_c
   1          4     100.00000           0.0000   0.250000E-03  TOP    GROUP-TWO  FAR-TEXT-2
   2          3       0.00000           0.0000   0.295718E-05  LOW    GROUP-ONE  FAR-TEXT-1
   3          6     100.00000         100.0000   0.295718E-05  SAME   GROUP-ONE
   4          5       0.00000         100.0000  -0.150000E+01  NEG    GROUP-3    FAR 3
TABLE
cmp -s expected_wide out || { fail "the table of the declared layout differs"; diff expected_wide out; }
parses wide.svg
grep -q 'highest 0.250000E-03 at 100.00000, 0.0000<' wide.svg || fail "the highest receptor of the declared layout is not labelled"

# A field of the declared layout that is not a number, though not one the map shows.
make_wide 12x >wide-bad.plt
run wide-bad.plt
expect_status 2 "a bad field of a declared layout"
expect_stderr "plotmap: converting a field of 'wide-bad.plt': line 4: field I8 in columns 34-41 holds '     12x', which is not a number"
[[ ! -e wide-bad.svg && ! -s out ]] || fail "a bad field of a declared layout left a map or a table"

# A FORMAT line that cannot be merged, as plotmerge refuses it: one that does
# not read, one without a value field.
{ printf '* GRID TEST MAP\n*  FORMAT: (3(1X,F13.5)\n'; tail -n +3 grid.plt; } >unread.plt
run unread.plt
expect_status 2 "an unreadable FORMAT line"
expect_stderr "plotmap: reading the layout of 'unread.plt': line 2 is a FORMAT line that cannot be merged: the list does not read: a closing parenthesis is missing"
[[ ! -e unread.svg && ! -s out ]] || fail "an unreadable FORMAT line left a map or a table"
{ printf '* NO VALUE\n* FORMAT: (2(1X,F13.5),1X,F8.2,2X,A6)\n'; printf ' %13s %13s %8s  %-6s\n' 1.0 2.0 3.00 TAG; } >novalue.plt
run novalue.plt
expect_status 2 "a declared layout without a value field"
expect_stderr "plotmap: reading the layout of 'novalue.plt': line 2 is a FORMAT line that cannot be merged: it has no value field: no real field of 13 columns or more follows x and y"
[[ ! -e novalue.svg && ! -s out ]] || fail "a layout without a value field left a map or a table"

# --- failures: one diagnostic line, status 2, nothing left behind ----------
run absent.plt
expect_status 2 "a missing file"
expect_stderr "plotmap: opening 'absent.plt': No such file or directory"
[[ ! -e absent.plt && ! -e absent.svg ]] || fail "a missing file left a file behind"

{ printf '* header\n'; data_line 1.0 2.0 3.0 A B C; data_line 1.0 2.0 12x4567 A B C; } >bad.plt
run bad.plt
expect_status 2 "a field that is not a number"
expect_stderr "plotmap: converting a field of 'bad.plt': line 3: field value holds '      12x4567', which is not a number"
[[ ! -e bad.svg && ! -s out ]] || fail "a bad field left a map or a table"

cp grid.plt keep.plt
run -o grid.plt grid.plt
expect_status 2 "the map over its own input"
expect_stderr "plotmap: opening 'grid.plt': the same file is already open in this run as 'grid.plt'"
cmp -s keep.plt grid.plt || fail "the input was changed"
ln -s grid.plt link.svg
run -o link.svg grid.plt
expect_status 2 "the map over its input through a link"
cmp -s keep.plt grid.plt || fail "the input was changed through a link"

mkdir folder.plt
run folder.plt
expect_status 2 "a folder"
expect_stderr "plotmap: reading 'folder.plt': Is a directory"

if [[ -w /dev/full ]]; then
    "$plotmap" grid.plt >/dev/full 2>err
    status=$?
    expect_status 2 "a full standard output"
    expect_stderr "plotmap: writing 'standard output': No space left on device"
fi

# --- the command line -------------------------------------------------------
usage='usage: plotmap [-o OUT] [--top N] [--log | --linear] [--title TEXT] FILE'
run
expect_status 2 "no file"
expect_stderr "plotmap: reading the command line: no FILE to map" "$usage"
run --top ten grid.plt
expect_status 2 "a bad count"
expect_stderr "plotmap: reading the command line: --top needs a count of 0 or more, not 'ten'" "$usage"
run --log --linear grid.plt
expect_status 2 "two scales"
run --help
expect_status 0 "--help"
[[ $(head -n 1 out) == "$usage" ]] || fail "--help does not begin with the usage"
run --version
expect_status 0 "--version"
[[ $(cat out) == "plotmap $version" ]] || fail "--version printed '$(cat out)'"

if ((failures > 0)); then
    echo "$failures checks failed"
    exit 1
fi
echo "plotmap end-to-end checks passed"
