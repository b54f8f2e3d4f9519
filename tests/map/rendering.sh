#!/bin/bash
# Renders plotmap's maps with a real SVG renderer (rsvg-convert) and checks
# pixels: the highest receptor's cell or dot in the top colour of the scale,
# a zero receptor in the neutral grey, on a grid, on scattered receptors and
# on a file large enough to be binned; the two sides of a scale around zero;
# the classes of contour levels.
#
# Usage: rendering.sh PLOTMAP TEST_DIR
# Exit status 77 (skipped) when rsvg-convert or python3 is missing.
set -u

plotmap=$1 test_dir=$2
command -v rsvg-convert >/dev/null || { echo "SKIPPED: rsvg-convert not found (package librsvg2-bin)"; exit 77; }
command -v python3 >/dev/null || { echo "SKIPPED: python3 not found (package python3)"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

top=#fde725      # viridis at 1
bottom=#440154   # viridis at 0
neutral=#c0c0c0  # zero and non-finite values
options=''       # plotmap's options besides --top 0

data_line() { printf ' %13s %13s %13s     0.00     0.00     0.00  TEST    GROUP     00000000  NET\n' "$1" "$2" "$3"; }

# Maps FILE, renders the map, and checks the pixels given as FX,FY,#RRGGBB
# (fractions of the map frame from its left and top edges).
check() {
    local file=$1 map=${1%.*}.svg
    shift
    # shellcheck disable=SC2086 # the options are words
    "$plotmap" --top 0 $options "$file" >/dev/null 2>err || { fail "$file: plotmap failed: $(cat err)"; return; }
    rsvg-convert "$map" -o "$map.png" || { fail "$map: rsvg-convert failed"; return; }
    python3 "$test_dir/check_map.py" "$map" "$map.png" "$@" || fail "$map: pixels differ"
}

# A 3 x 3 grid 100 units apart: the map frame spans 300 units, from -50.
# Cell centres lie at 1/6, 3/6 and 5/6 of it; y grows upwards.
{
    printf '* grid\n'
    data_line 0.0 0.0 0.0
    for y in 0 100 200; do for x in 0 100 200; do
        [[ $x$y == 00 ]] || data_line "$x.0" "$y.0" "$((1 + x / 100 + 3 * y / 100)).0"
    done; done
} >grid.plt
# The highest (9) at the top right, the zero at the bottom left.
check grid.plt 0.8333,0.1667,$top 0.1667,0.8333,$neutral

# Two classes about the level 4.5: the zero receptor in the lower one, not grey.
cp grid.plt levels.plt
options='--levels 4.5' check levels.plt 0.8333,0.1667,$top 0.1667,0.8333,$bottom
options=''

# A negative value turns the scale to blue and red around zero: 80, the
# largest magnitude, is red (#67001f) at the bottom right; -3 at 0.48125 of
# the bar takes level 123 of 255, 0.8235 of the way from #d1e5f0 to #f7f7f7,
# #f0f4f6 at the top left; not-a-number stays grey.
{
    data_line 0.0 0.0 5.0
    data_line 100.0 0.0 80.0
    data_line 0.0 100.0 -3.0
    data_line 100.0 100.0 NaN
} >signs.plt
check signs.plt 0.75,0.75,#67001f 0.25,0.25,#f0f4f6 0.75,0.25,$neutral

# Scattered receptors within 0 to 100 both ways: the frame is padded by 4% of
# that, so spans 108 units from -4. The highest is at (100, 30), zero at (0, 0).
{
    data_line 0.0 0.0 0.0
    data_line 100.0 30.0 50.0
    data_line 37.0 100.0 20.0
    data_line 60.0 55.0 10.0
} >dots.plt
check dots.plt 0.963,0.6852,$top 0.037,0.963,$neutral

# 250,000 receptors, a 500 x 500 grid 1 unit apart: 200 x 200 bins of 2.495
# units. Zero near the origin, the highest at (499, 499), in the top right bin.
python3 - <<'PY' >binned.plt
import sys
out = []
for y in range(500):
    for x in range(500):
        value = 0.0 if x < 5 and y < 5 else 1.0 + (x + y) / 10.0
        if x == 499 and y == 499:
            value = 500.0
        out.append(" %13.5f %13.5f %13.5f     0.00     0.00     0.00  TEST    GROUP     00000000  NET\n" % (x, y, value))
sys.stdout.write("".join(out))
PY
check binned.plt 0.9975,0.0025,$top 0.0025,0.9975,$neutral
size=$(wc -c <binned.svg)
((size < 2000000)) || fail "the binned map takes $size bytes"
grep -q 'binned: 200 x 200 cells' binned.svg || fail "the legend does not say the map is binned"

if ((failures > 0)); then
    echo "$failures checks failed"
    exit 1
fi
echo "plotmap rendering checks passed"
