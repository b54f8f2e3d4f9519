#!/bin/bash
# plotmap's manual page as built or as installed (plain or gzip-compressed):
# its source with the version put in and nothing else changed, formatted
# without a single groff warning, and describing every option.
#
# Usage: check_plotmap_manual_page.sh PAGE SOURCE VERSION
# Exit status 77 (skipped) when groff is missing.
set -u

page=$1 source=$2 version=$3

source "$(dirname "$0")/manual_page_lib.sh"
unpack_manual_page
check_only_version_put_in
grep -q "^\.TH PLOTMAP 1 .*plotmap $version" "$plain" || fail "the title line lacks the version $version"
check_formats_cleanly

rendered=$(groff -man -Tutf8 -rLL=100n "$plain" 2>/dev/null | col -bx)
for option in -o --top --field --levels --log --linear --title --csv --csv-separator --geojson --crs --help --version; do
    grep -qE -- "^ +$option( |$)" <<<"$rendered" || fail "the page does not describe $option"
done
echo "manual page $page formats cleanly"
