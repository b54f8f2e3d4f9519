#!/usr/bin/env bash
# Files and folders that the user running the tool may only read, only write,
# or not change: run as the unprivileged user nobody, in folders it owns.
source "$(dirname "$0")/lib.sh"

# The case folder, in the room for nobody (lib.sh), belongs to nobody.
owned_by_nobody() {
    chown nobody:nogroup .
    data_line 3.00000 >in.plt
    data_line 5.00000 >>in.plt
    chown nobody:nogroup in.plt
}

case_output_that_may_only_be_read() {
    owned_by_nobody
    printf 'old line\n' >AVG_CONC.PLT
    chown nobody:nogroup AVG_CONC.PLT
    chmod 0444 AVG_CONC.PLT
    answer_lines 1 in.plt 1.0 A N
    run_plotmerge_as_nobody
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic_like "^plotmerge: writing 'AVG_CONC.PLT': the file could only be opened for reading$"
    printf 'old line\n' >expected.plt
    expect_file_bytes AVG_CONC.PLT expected.plt
}

# Opened for writing only; the old, longer content is cut after the new lines.
case_output_that_may_only_be_written() {
    owned_by_nobody
    for _ in 1 2 3 4 5; do data_line 9.99999; done >RISK.PLT
    chown nobody:nogroup RISK.PLT
    chmod 0222 RISK.PLT
    answer_lines 1 in.plt 1.0 S Y
    run_plotmerge_as_nobody
    expect_status 0
    expect_prompts 1 risk
    expect_no_diagnostic
    { data_line 3.00000; data_line 5.00000; } >expected_sum.plt
    { data_line 2232.00000; data_line 3720.00000; } >expected_risk.plt
    expect_file_bytes SUM_CONC.PLT expected_sum.plt
    expect_file_bytes RISK.PLT expected_risk.plt
}

# Opened for writing only, so reading its first line fails; the outputs have
# been opened by then and stay empty.
case_input_that_may_only_be_written() {
    owned_by_nobody
    chmod 0222 in.plt
    answer_lines 1 in.plt 1.0 A Y
    run_plotmerge_as_nobody
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic_like "^plotmerge: reading 'in.plt': the file could only be opened for writing$"
    expect_empty_file AVG_CONC.PLT
    expect_empty_file RISK.PLT
    { data_line 3.00000; data_line 5.00000; } >expected.plt
    expect_file_bytes in.plt expected.plt
}

case_input_that_may_not_be_used_at_all() {
    owned_by_nobody
    chmod 0000 in.plt
    answer_lines 1 in.plt 1.0 A N
    run_plotmerge_as_nobody
    expect_status 2
    expect_prompts 1 factors
    expect_diagnostic "plotmerge: opening 'in.plt': Permission denied"
    expect_no_file AVG_CONC.PLT
}

# In a folder without write permission an existing input still opens, but a
# missing output cannot be created; RISK.PLT, opened first, stops the run
# before the combined output is tried.
case_folder_without_write_permission() {
    owned_by_nobody
    chmod 0555 .
    answer_lines 1 in.plt 1.0 A Y
    run_plotmerge_as_nobody
    chmod 0755 .
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic "plotmerge: opening 'RISK.PLT': Permission denied"
    expect_no_file RISK.PLT AVG_CONC.PLT
}

case_missing_input_in_folder_without_write_permission() {
    owned_by_nobody
    chmod 0555 .
    answer_lines 2 in.plt none.plt 1.0 1.0 A N
    run_plotmerge_as_nobody
    chmod 0755 .
    expect_status 2
    expect_prompts 2 factors
    expect_diagnostic "plotmerge: opening 'none.plt': Permission denied"
    expect_no_file none.plt AVG_CONC.PLT
}

make_room_for_nobody || skip "$NOBODY_UNAVAILABLE"
CASES_FOLDER=$NOBODY_ROOM/cases
run_cases case_output_that_may_only_be_read case_output_that_may_only_be_written \
    case_input_that_may_only_be_written case_input_that_may_not_be_used_at_all \
    case_folder_without_write_permission case_missing_input_in_folder_without_write_permission
