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

# The two lines of usage that follow a command line that cannot be followed.
usage='usage: plotmap [-o OUT] [--top N] [--field N] [--levels L1,L2,...] [--log | --linear] [--title TEXT]'
usage2="               [--csv FILE [--csv-separator ';']] [--geojson FILE [--crs EPSG:NNNN]] FILE"

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

# --- the value field, contour levels, repeated receptors ------------------
# Value field 2 of the declared layout ranks the lines the other way round;
# there is no third.
run --field 2 wide.plt
expect_status 0 "--field 2"
cat >expected_second <<'TABLE'
rank       line             x                y       value_2  tag_a  tag_b      tag_c
   1          3       0.00000           0.0000   0.90000E+01  LOW    GROUP-ONE  FAR-TEXT-1
   2          5       0.00000         100.0000   0.50000E+01  NEG    GROUP-3    FAR 3
   3          6     100.00000         100.0000   0.20000E+01  SAME   GROUP-ONE
   4          4     100.00000           0.0000   0.10000E+01  TOP    GROUP-TWO  FAR-TEXT-2
TABLE
cmp -s expected_second out || { fail "the table of value field 2 differs"; diff expected_second out; }
grep -q 'highest 0.90000E+01 at 0.00000, 0.0000<' wide.svg || fail "the highest of value field 2 is not labelled"
rm -f wide.svg
run --field=3 wide.plt
expect_status 2 "--field beyond the value fields"
expect_stderr "plotmap: reading the command line: --field 3 asks for value field 3, but the data lines of 'wide.plt' have 2 value fields" "$usage" "$usage2"
[[ ! -e wide.svg ]] || fail "--field beyond the value fields left a map"

# Three hours of four receptors: each listed once, at the line of its highest
# value, with the date that tells the lines apart.
{
    printf '* HOURLY\n'
    for hour in 1 2 3; do for place in '0.0 0.0' '100.0 0.0' '0.0 100.0' '100.0 100.0'; do
        set -- $place
        value=$(( (hour * 7 + ${1%.*} / 25 + ${2%.*} / 50) % 10 )).0
        printf ' %13s %13s %13s %8s %8s %8s  %-6s  %-8s  %08d  %-8s\n' "$1" "$2" "$value" 1.00 2.00 3.00 1-HR ALL "2301010$hour" GRID
    done; done
} >hourly.plt
# Values by hour: (0,0) 7 4 1; (100,0) 1 8 5; (0,100) 9 6 3; (100,100) 3 0 7.
run --top 3 hourly.plt
expect_status 0 "receptors on several lines"
cat >expected_hourly <<'TABLE'
rank       line             x             y         value  tag_a   tag_b     int_a     tag_c
   1          4       0.00000     100.00000       9.00000  1-HR    ALL       23010101  GRID
   2          7     100.00000       0.00000       8.00000  1-HR    ALL       23010102  GRID
   3          2       0.00000       0.00000       7.00000  1-HR    ALL       23010101  GRID
TABLE
cmp -s expected_hourly out || { fail "the table of repeated receptors differs"; diff expected_hourly out; }
grep -q '>hourly.plt, 4 receptors on 12 data lines<' hourly.svg || fail "receptors and lines are not counted apart"

# Contour levels on scattered receptors: a map without lines, and a warning.
{ data_line 0.0 0.0 1.0 A B C; data_line 100.0 30.0 5.0 A B C; data_line 37.0 100.0 2.0 A B C; } >scattered.plt
run --top 0 --levels 2,4 scattered.plt
expect_status 0 "levels on scattered receptors"
expect_stderr "plotmap: warning: 'scattered.plt': the receptors form no grid of rows and columns, nor of rings and directions: no contour lines are drawn"
grep -q '>no contour lines: the receptors<' scattered.svg || fail "the legend does not say that no lines are drawn"

# --- CSV and GeoJSON ---------------------------------------------------------
# A 3 x 3 grid with column titles, numbers in every form a field takes, text
# with the separators, a quote, Latin-1 and UTF-8 bytes. Each export is read
# back by Python's csv and json and compared field by field with the file.
line10() { printf ' %13s %13s %13s %8s %8s %8s  %-6s  %-8s  %8s  %-8s\n' "$@"; }
{
    printf '* EXPORTS\n'
    printf '*            X             Y    24-HR CONC    ZELEV    ZHILL    ZFLAG  AVE     GRP       DATE      NET ID\n'
    printf '*_____________ _____________ _____________ ________ ________ ________  ______  ________  ________  ________\n'
    line10 0.0 0 1.5D0 125 '' -0.0 'a,b;c' 'say "hi"' 23011524 $'Z\xfcrich'
    line10 100.0 0 .5 1.00 2.00 3.00 ANNUAL ALL 1 $'\xc2\xb5g/m3'
    line10 1.0E2 0 5. 1.00 2.00 3.00 ANNUAL ALL 23011524 NET
    line10 0.0 100.0 +1 1.00 2.00 3.00 ANNUAL ALL 23011524 NET
    line10 100.0 100.0 1.5+1 1.00 2.00 3.00 ANNUAL ALL 23011524 NET
    line10 200.0 1.0E2 2.5E0 1.00 2.00 3.00 ANNUAL ALL 23011524 NET
    line10 0.0 200.0 3. 1.00 2.00 3.00 ANNUAL ALL 23011524 NET
    line10 100.0 200.0 4.0 1.00 2.00 3.00 ANNUAL ALL 23011524 NET
    line10 200.0 200.0 7.25 1.00 2.00 3.00 ANNUAL ALL 23011524 NET
} >exports.plt
standard_fields='F:2:14:5 F:16:28:5 F:30:42:5 F:44:51:2 F:53:60:2 F:62:69:2 A:72:77:0 A:80:87:0 I:90:97:0 A:100:107:0'
run --top 0 --levels 2,10 --csv exports.csv --geojson exports.json --crs epsg:32633 exports.plt
expect_status 0 "the exports"
[[ ! -s err ]] || fail "standard error holds: $(cat err)"
python3 "$test_dir/check_exports.py" exports.plt "$standard_fields" 'X|Y|24-HR CONC|ZELEV|ZHILL|ZFLAG|AVE|GRP|DATE|NET ID' \
    --csv exports.csv , --geojson exports.json 2 10 || fail "the exports differ from the plot file"
grep -q '^"crs":{"type":"name","properties":{"name":"urn:ogc:def:crs:EPSG::32633"}},$' exports.json || fail "the GeoJSON names no EPSG:32633"
[[ $(head -c 2 exports.csv | od -An -c | tr -d ' ') == X, ]] || fail "the CSV does not begin with its heading"
grep -q '>24-HR CONC, classes<' exports.svg || fail "the legend does not name the field"
run --top 0 --csv exports-semicolon.csv --csv-separator ';' -o semicolon.svg exports.plt
python3 "$test_dir/check_exports.py" exports.plt "$standard_fields" 'X|Y|24-HR CONC|ZELEV|ZHILL|ZFLAG|AVE|GRP|DATE|NET ID' \
    --csv exports-semicolon.csv ';' || fail "the semicolon CSV differs from the plot file"
grep -q '^0,0;0;1,5D0;125;;-0,0;' exports-semicolon.csv || fail "the semicolon CSV has no decimal comma"

# The declared layout, by kind and position; not-a-number, an infinite x and
# a blank field; standard output.
run --top 0 --csv - --geojson wide.json wide.plt
expect_status 0 "CSV on standard output"
python3 "$test_dir/check_exports.py" wide.plt 'F:2:14:5 F:16:31:4 I:34:41:0 E:43:56:6 E:58:70:5 F:72:79:2 A:83:86:0 A:89:97:0 A:138:149:0' \
    'x|y|integer_3|value_1|value_2|real_6|text_7|text_8|text_9' --csv out , --geojson wide.json ||
    fail "the exports of the declared layout differ from the plot file"
[[ -f wide.svg ]] || fail "no map beside the CSV on standard output"
{ data_line 0.0 0.0 NaN A B C; data_line Infinity 10.0 '' A B C; } >special.plt
run --top 0 --csv special.csv --geojson special.json special.plt
python3 "$test_dir/check_exports.py" special.plt "$standard_fields" 'x|y|value_1|real_4|real_5|real_6|text_7|text_8|integer_9|text_10' \
    --csv special.csv , --geojson special.json || fail "the exports of special values differ"
grep -q '"geometry":null' special.json || fail "an infinite x has a geometry"

# --- failures: one diagnostic line, status 2, nothing left behind ----------
run absent.plt
expect_status 2 "a missing file"
expect_stderr "plotmap: opening 'absent.plt': No such file or directory"
[[ ! -e absent.plt && ! -e absent.svg ]] || fail "a missing file left a file behind"

{ printf '* header\n'; data_line 1.0 2.0 3.0 A B C; data_line 1.0 2.0 12x4567 A B C; } >bad.plt
run --csv bad.csv --geojson bad.json bad.plt
expect_status 2 "a field that is not a number"
expect_stderr "plotmap: converting a field of 'bad.plt': line 3: field value holds '      12x4567', which is not a number"
[[ ! -e bad.svg && ! -e bad.csv && ! -e bad.json && ! -s out ]] || fail "a bad field left a map, an export or a table"

cp grid.plt keep.plt
run -o grid.plt grid.plt
expect_status 2 "the map over its own input"
expect_stderr "plotmap: opening 'grid.plt': the same file is already open in this run as 'grid.plt'"
cmp -s keep.plt grid.plt || fail "the input was changed"
run --csv grid.plt -o other.svg grid.plt
expect_status 2 "the CSV over its own input"
expect_stderr "plotmap: opening 'grid.plt': the same file is already open in this run as 'grid.plt'"
cmp -s keep.plt grid.plt || fail "the input was changed by the CSV"
run --geojson same.svg -o same.svg grid.plt
expect_status 2 "the GeoJSON over the map"
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
run
expect_status 2 "no file"
expect_stderr "plotmap: reading the command line: no FILE to map" "$usage" "$usage2"
run --top ten grid.plt
expect_status 2 "a bad count"
expect_stderr "plotmap: reading the command line: --top needs a count of 0 or more, not 'ten'" "$usage" "$usage2"
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
