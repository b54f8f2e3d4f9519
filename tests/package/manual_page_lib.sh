# Checks shared by the manual page tests; sourced after PAGE, SOURCE and
# VERSION are known. Exit status 77 (skipped) when groff is missing.

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }

# Unpacks the page as built or installed (plain or gzip-compressed) to
# $work/page.1, in a scratch folder removed on exit, and sets $plain to it.
unpack_manual_page() {
    command -v groff >/dev/null || skip "groff not found (package groff-base)"
    [[ -f $page ]] || fail "no manual page at $page"
    [[ -f $source ]] || fail "no manual page source at $source"
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    plain=$work/page.1
    if [[ $page == *.gz ]]; then
        gzip -dc "$page" >"$plain" || fail "$page is not a gzip file"
    else
        cp "$page" "$plain"
    fi
}

# The page is its source with the version put in and nothing else changed:
# tbl's cell separator is "@", and a substitution of every @...@ loses cells.
check_only_version_put_in() {
    sed "s/@PROJECT_VERSION@/$version/g" "$source" >"$work/expected.1"
    if ! cmp -s "$work/expected.1" "$plain"; then
        diff "$work/expected.1" "$plain" | head -20
        fail "$page is not its source with only the version $version put in"
    fi
}

# groff formats the page without a single warning, on paper and on a terminal.
check_formats_cleanly() {
    local device messages status
    for device in ps utf8; do
        messages=$(groff -ww -z -man -t -T"$device" "$plain" 2>&1)
        status=$?
        if [[ $status != 0 || -n $messages ]]; then
            printf '%s\n' "$messages"
            fail "groff -T$device reported status $status or warnings"
        fi
    done
}
