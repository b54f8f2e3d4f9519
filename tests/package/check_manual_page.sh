#!/bin/bash
# A manual page as built or as installed (plain or gzip-compressed): it is its
# source with the version put in and nothing else changed, it formats without
# a single groff warning, its data line table renders as a table when man
# shows it, and it quotes every prompt of the dialogue exactly.
#
# Usage: check_manual_page.sh PAGE SOURCE VERSION
# Exit status 77 (skipped) when groff is missing.
set -u

page=$1 source=$2 version=$3

source "$(dirname "$0")/manual_page_lib.sh"
unpack_manual_page
check_only_version_put_in
grep -q "^\.TH [A-Z]* 1 .*$version" "$plain" || fail "the title line lacks the version $version"
check_formats_cleanly

# --- the table as a reader sees it -----------------------------------------------
# man runs tbl only when the page's first line asks for it; groff -t always does.
if command -v man >/dev/null; then
    LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$plain" >"$work/rendered" 2>"$work/man_errors" || fail "man -l failed: $(cat "$work/man_errors")"
else
    echo "note: man not found (package man-db); rendering with groff -t instead"
    groff -t -man -Tutf8 -rLL=80n "$plain" 2>/dev/null | col -bx >"$work/rendered"
fi
# Rows of the data line layout (cells apart by "|"): on screen each cell
# stands apart from the next by at least two blanks.
rows=(
    'Columns|Width|Field|Read as|Written as'
    '2–14|13|x|real, 5 implied decimals|5 decimals'
    '30–42|13|value|real, 5 implied decimals|5 decimals'
    '62–69|8|aux3|real, 2 implied decimals|2 decimals'
    '72–77|6|tag_a|text|text'
    '90–97|8|stamp|integer|8 digits'
    '108–120|13|—|not read|not written'
)
expand "$work/rendered" >"$work/rendered_blanks"
for row in "${rows[@]}"; do
    grep -qE -- "^ +${row//|/ {2,\}} *\$" "$work/rendered_blanks" || {
        grep -A4 'Columns' "$work/rendered_blanks"
        fail "the rendered table lacks the row '${row//|/ | }' as separate columns"
    }
done

prompts=(
    'Type in the # of .PLT files for process, max # is 4.'
    'Type in one input file(s) name(s):'
    'Provide scaling factors for above .PLT files, 1.0 for no scaling.'
    'Average or Sum? A/S'
    'Create a 30-yr RISK.PLT from the PLT?  Y/N'
)
for prompt in "${prompts[@]}"; do
    grep -qF -- "$prompt" "$plain" || fail "the page does not quote the prompt '$prompt'"
done

echo "manual page $page formats cleanly"
