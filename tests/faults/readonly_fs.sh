#!/usr/bin/env bash
# Plot files on a file system that may not be written: a tmpfs remounted
# read-only, and a read-only bind mount of an ordinary folder. Inputs there are
# read as usual; an existing output opens but cannot take its first line; a
# missing file cannot be created.
source "$(dirname "$0")/lib.sh"

# Fills the folder ro with in.plt and an old AVG_CONC.PLT, then makes it
# read-only in the way the case name ends with.
read_only_folder() {
    local kind=$1
    mkdir -p filled
    { echo '* read-only header'; data_line 1.25000; data_line -2.50000; } >filled/in.plt
    printf 'old line\n' >filled/AVG_CONC.PLT
    if [[ $kind == tmpfs ]]; then
        mount_tmpfs ro 1m
        cp -p filled/* ro/
        remount_read_only ro
    else
        bind_read_only filled ro
    fi
    touch ro/probe 2>/dev/null && fail "ro can still be written"
}

# Factor 2.0 in Sum mode: 1.25 gives 2.5 (risk 1860), -2.5 gives -5 (risk -3720).
input_is_merged() {
    read_only_folder "$1"
    answer_lines 1 ro/in.plt 2.0 S Y
    run_plotmerge
    expect_status 0
    expect_prompts 1 risk
    expect_no_diagnostic
    { written_header '* read-only header'; data_line 2.50000; data_line -5.00000; } >expected_sum.plt
    { written_header '* read-only header'; data_line 1860.00000; data_line -3720.00000; } >expected_risk.plt
    expect_file_bytes SUM_CONC.PLT expected_sum.plt
    expect_file_bytes RISK.PLT expected_risk.plt
}

# Runs plotmerge with ro as its working folder, so that its outputs go there;
# the answers, standard output and standard error stay outside.
run_plotmerge_inside_ro() {
    answer_lines 1 "$@"
    cd ro || return
    "$PLOTMERGE" <../answers >../stdout.txt 2>../stderr.txt
    status=$?
    cd .. || return
}

existing_output_fails_at_first_line() {
    read_only_folder "$1"
    run_plotmerge_inside_ro in.plt 1.0 A N
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic_like "^plotmerge: writing 'AVG_CONC.PLT': the file could only be opened for reading$"
    printf 'old line\n' >expected.plt
    expect_file_bytes ro/AVG_CONC.PLT expected.plt
}

missing_output_fails_to_open() {
    read_only_folder "$1"
    run_plotmerge_inside_ro in.plt 1.0 S N
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic "plotmerge: opening 'SUM_CONC.PLT': Read-only file system"
    expect_no_file ro/SUM_CONC.PLT
}

# An input name under which no file exists would create an empty file; here
# nothing can be created, so the open fails.
missing_input_fails_to_open() {
    read_only_folder "$1"
    answer_lines 2 ro/in.plt ro/none.plt 1.0 1.0 A N
    run_plotmerge
    expect_status 2
    expect_prompts 2 factors
    expect_diagnostic "plotmerge: opening 'ro/none.plt': Read-only file system"
    expect_no_file ro/none.plt AVG_CONC.PLT
}

for kind in tmpfs bind; do
    for check in input_is_merged existing_output_fails_at_first_line missing_output_fails_to_open \
        missing_input_fails_to_open; do
        eval "case_${check}_on_${kind}() { $check $kind; }"
        cases+=("case_${check}_on_${kind}")
    done
done

[[ $(id -u) == 0 ]] || skip "mounting needs root"
run_cases "${cases[@]}"
