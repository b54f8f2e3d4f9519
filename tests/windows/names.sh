#!/usr/bin/env bash
# Names outside ASCII in answer files, run under Wine. A name is read as UTF-8
# when it is UTF-8 and in the ANSI code page otherwise, and is opened through
# the wide-character functions, so that a name outside the ANSI code page
# opens too. Wine keeps a Windows name on the Linux file system in UTF-8: each
# file is made and checked here under its UTF-8 name.
#
# Wine takes the ANSI code page from the language of the Unix locale, and
# reads C and POSIX as US English, whose ANSI code page is 1252. Every run is
# made under LC_ALL=C.UTF-8, a locale that every Debian system has (bash warns
# about one that is missing, on standard error), so the ANSI code page is 1252
# whatever locale the tests were started in.
source "$(dirname "$0")/../faults/lib.sh"
export LC_ALL=C.UTF-8

MUELLER=$'M\xc3\xbcller.plt'                                  # Müller.plt
ATHENS=$'\xce\x91\xce\xb8\xce\xae\xce\xbd\xce\xb1'            # Αθήνα, outside code page 1252

plot_input() {
    { written_header "* $2"; data_line "$3"; data_line "$4"; } >"$1"
}

# The folder holds these files besides those of the run and its checks.
expect_files_exactly() {
    local expected actual
    expected=$(printf '%s\n' answers stdout.txt stderr.txt expected_stdout.txt "$@" | LC_ALL=C sort)
    actual=$(find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort)
    [[ $actual == "$expected" ]] || fail "the folder holds [${actual//$'\n'/, }], expected [${expected//$'\n'/, }]"
}

# Two inputs named in UTF-8, one of them in Greek letters, summed: each value
# is the sum of the two (1.00000 + 2.25000, 6.50000 + 0.50000), the other
# fields are those of the last input, the header line that of the first.
case_utf8_names_of_existing_files() {
    plot_input "$MUELLER" 'first input' 1.00000 6.50000
    plot_input "$ATHENS.plt" 'second input' 2.25000 0.50000
    answer_lines 2 "$MUELLER" "$ATHENS.plt" 1.0 1.0 S N
    run_plotmerge
    expect_status 0
    expect_prompts 2 risk
    expect_no_diagnostic
    expect_files_exactly "$MUELLER" "$ATHENS.plt" SUM_CONC.PLT
    plot_input ../expected_sum.plt 'first input' 3.25000 7.00000
    expect_file_bytes SUM_CONC.PLT ../expected_sum.plt
}

# The name as an older editor saves it in code page 1252: ü is the byte FC,
# which is not UTF-8. With one input and factor 1 the output repeats it.
case_ansi_name_of_an_existing_file() {
    plot_input "$MUELLER" 'only input' 12.50000 0.00100
    printf '1\nM\xfcller.plt\n1.0\nA\nN\n' >answers
    run_plotmerge
    expect_status 0
    expect_prompts 1 risk
    expect_no_diagnostic
    expect_files_exactly "$MUELLER" AVG_CONC.PLT
    expect_file_bytes AVG_CONC.PLT "$MUELLER"
}

# A name in code page 1252 under which no file exists is created empty, under
# its own characters: bytes 8C and E9 are the Œ and é of "Œuvre José.plt"
# (8C is no character of Latin-1). The empty input ends the merge at once.
case_ansi_name_that_does_not_exist_is_created() {
    printf '1\n\x8cuvre Jos\xe9.plt\n1.0\nA\nN\n' >answers
    run_plotmerge
    expect_status 0
    expect_prompts 1 risk
    # The name as answered, its bytes outside ASCII escaped.
    printf '%s\n' "plotmerge: warning: 1 input did not exist and was created empty; first '\\x8cuvre Jos\\xe9.plt': check the name as typed" \
        "plotmerge: warning: no data line was written to 'AVG_CONC.PLT'" >expected_stderr.txt
    cmp -s stderr.txt expected_stderr.txt || fail "the warnings differ: $(cat stderr.txt)"
    expect_files_exactly $'\xc5\x92uvre Jos\xc3\xa9.plt' AVG_CONC.PLT expected_stderr.txt
    expect_empty_file $'\xc5\x92uvre Jos\xc3\xa9.plt'
    expect_empty_file AVG_CONC.PLT
}

# Standard error redirected to a file gets the diagnostic as on Linux, with
# every byte of the name outside ASCII escaped; the missing folder is not made.
case_diagnostic_to_a_file_escapes_the_name() {
    answer_lines 1 "$ATHENS/x.plt" 1.0 A N
    run_plotmerge
    expect_status 2
    expect_prompts 1 factors
    expect_diagnostic_like "^plotmerge: opening '\\\\xce\\\\x91\\\\xce\\\\xb8\\\\xce\\\\xae\\\\xce\\\\xbd\\\\xce\\\\xb1/x\\.plt': [^[:cntrl:]]+$"
    expect_files_exactly
}

run_cases case_utf8_names_of_existing_files case_ansi_name_of_an_existing_file \
    case_ansi_name_that_does_not_exist_is_created case_diagnostic_to_a_file_escapes_the_name
