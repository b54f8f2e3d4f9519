#!/usr/bin/env bash
# Faults that every build can show, also through an emulator: a folder as a
# name, a missing folder, the same file under two names, a read-only file.
# The causes that come from the system are its own texts, which differ
# between systems: only the rest of those diagnostics is compared exactly.
source "$(dirname "$0")/lib.sh"

plot_input() { { echo '* portable input'; data_line 1.00000; data_line 6.50000; } >"$1"; }

# Each row: the name answered and what the open must not leave behind.
REFUSED_ROWS=('sub|' 'nodir/a.plt|nodir')
case_names_that_cannot_be_opened() {
    local row name left
    mkdir sub
    for row in "${REFUSED_ROWS[@]}"; do
        IFS='|' read -r name left <<<"$row"
        context="name '$name'"
        answer_lines 1 "$name" 1.0 A Y
        run_plotmerge
        expect_status 2
        expect_prompts 1 factors
        expect_diagnostic_like "^plotmerge: opening '$name': [^[:cntrl:]]+$"
        expect_no_file AVG_CONC.PLT RISK.PLT $left
    done
}

# RISK.PLT is opened first and created empty; the combined output, a folder, fails.
case_combined_output_is_a_folder() {
    plot_input a.plt
    mkdir AVG_CONC.PLT
    answer_lines 1 a.plt 1.0 A Y
    run_plotmerge
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic_like "^plotmerge: opening 'AVG_CONC.PLT': [^[:cntrl:]]+$"
    expect_empty_file RISK.PLT
}

case_same_file_through_a_hard_link() {
    plot_input a.plt
    plot_input b.plt
    ln a.plt linked.plt
    answer_lines 3 a.plt b.plt linked.plt 1.0 1.0 1.0 A N
    run_plotmerge
    expect_status 2
    expect_prompts 3 factors
    expect_diagnostic "plotmerge: opening 'linked.plt': the same file is already open in this run as 'a.plt'"
    expect_no_file AVG_CONC.PLT
}

# An input that may only be read is read as usual; an output that may only be
# read opens, and its first line fails to be written, leaving it as it was.
# The combined output has taken the header line just before.
case_read_only_files() {
    plot_input in.plt
    printf 'old line\n' >RISK.PLT
    chmod a-w in.plt RISK.PLT
    answer_lines 1 in.plt 2.0 S Y
    if [[ -w RISK.PLT ]]; then
        # root may write any file: the run is made as nobody instead, in a
        # folder nobody can reach by its full path, as Wine reopens it.
        [[ -n $NOBODY_ROOM ]] || skip "root ignores read-only files, and $NOBODY_UNAVAILABLE"
        move_case_to_room_for_nobody
        run_plotmerge_as_nobody
    else
        run_plotmerge
    fi
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic "plotmerge: writing 'RISK.PLT': the file could only be opened for reading"
    printf 'old line\n' >expected_risk.plt
    expect_file_bytes RISK.PLT expected_risk.plt
    written_header '* portable input' >expected_sum.plt
    expect_file_bytes SUM_CONC.PLT expected_sum.plt
}

make_room_for_nobody || true
run_cases case_names_that_cannot_be_opened case_combined_output_is_a_folder case_same_file_through_a_hard_link \
    case_read_only_files
