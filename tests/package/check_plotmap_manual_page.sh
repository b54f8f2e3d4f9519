#!/bin/bash
# plotmap's manual page as built or as installed (plain or gzip-compressed):
# its source with the version put in and nothing else changed, formatted
# without a single groff warning, and describing every option.
#
# Usage: check_plotmap_manual_page.sh PAGE SOURCE VERSION
# Exit status 77 (skipped) when groff is missing.
set -u

page=$1 source=$2 version=$3

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }

command -v groff >/dev/null || skip "groff not found (package groff-base)"
[[ -f $page ]] || fail "no manual page at $page"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
plain=$work/plotmap.1
if [[ $page == *.gz ]]; then
    gzip -dc "$page" >"$plain" || fail "$page is not a gzip file"
else
    cp "$page" "$plain"
fi

sed "s/@PROJECT_VERSION@/$version/g" "$source" | cmp -s - "$plain" || fail "$page is not its source with only the version put in"
grep -q "^\.TH PLOTMAP 1 .*plotmap $version" "$plain" || fail "the title line lacks the version $version"

for device in ps utf8; do
    messages=$(groff -ww -z -man -T"$device" "$plain" 2>&1)
    status=$?
    [[ $status == 0 && -z $messages ]] || { printf '%s\n' "$messages"; fail "groff -T$device reported status $status or warnings"; }
done

rendered=$(groff -man -Tutf8 -rLL=100n "$plain" 2>/dev/null | col -bx)
for option in -o --top --log --linear --title --help --version; do
    grep -qE -- "^ +$option( |$)" <<<"$rendered" || fail "the page does not describe $option"
done
echo "manual page $page formats cleanly"
