#!/usr/bin/env bash
# Outputs that run out of space: on /dev/full from the first line, on a small
# file system part way through, and at the closing write-out of a normal run.
source "$(dirname "$0")/lib.sh"

ONE_LINE=$(data_line 1.00000)
RISK_LINE=$(data_line 744.00000)

small_input() {
    { echo '* RUN 7 header'; data_line 1.00000; data_line 2.50000; } >in.plt
}

# The line, the given number of times.
repeated_lines() { yes "$1" | head -n "$2"; }

case_combined_output_on_dev_full() {
    small_input
    ln -s /dev/full AVG_CONC.PLT
    answer_lines 1 in.plt 1.0 A N
    run_plotmerge
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic "plotmerge: writing 'AVG_CONC.PLT': No space left on device"
    [[ $(readlink AVG_CONC.PLT) == /dev/full ]] || fail "AVG_CONC.PLT is no longer the link to /dev/full"
    expect_no_file RISK.PLT
}

# The combined line of each position is written before the risk line, so the
# combined output keeps the header line that went out before RISK.PLT failed.
case_risk_output_on_dev_full() {
    small_input
    ln -s /dev/full RISK.PLT
    answer_lines 1 in.plt 1.0 A Y
    run_plotmerge
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic "plotmerge: writing 'RISK.PLT': No space left on device"
    written_header '* RUN 7 header' >expected.plt
    expect_file_bytes AVG_CONC.PLT expected.plt
}

case_combined_output_on_dev_full_with_large_input() {
    repeated_lines "$ONE_LINE" 60000 >in.plt
    ln -s /dev/full SUM_CONC.PLT
    answer_lines 1 in.plt 1.0 S Y
    run_plotmerge
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic "plotmerge: writing 'SUM_CONC.PLT': No space left on device"
    expect_empty_file RISK.PLT
}

case_risk_output_on_dev_full_with_large_input() {
    repeated_lines "$ONE_LINE" 60000 >in.plt
    ln -s /dev/full RISK.PLT
    answer_lines 1 in.plt 1.0 S Y
    run_plotmerge
    expect_status 2
    expect_diagnostic "plotmerge: writing 'RISK.PLT': No space left on device"
    echo "$ONE_LINE" >expected.plt
    expect_file_bytes SUM_CONC.PLT expected.plt
}

# RISK.PLT lies on a 512 KiB file system. Its first line goes out at once;
# later lines of 108 bytes gather in a 256 KiB buffer, 2427 at a time. The
# first buffer (lines 2 to 2428) still fits; the second (lines 2429 to 4855),
# written out when line 4856 arrives, does not. So the run stops at position
# 4856, after its combined line: AVG_CONC.PLT must keep lines 1 to 4856. Of
# RISK.PLT the first 524288 bytes fitted, which end 56 bytes into line 4855:
# the file is cut back to its 4854 whole lines (524232 bytes).
case_risk_output_fills_file_system_mid_run() {
    mount_tmpfs small 512k
    ln -s small/RISK.PLT RISK.PLT
    repeated_lines "$ONE_LINE" 6000 >in.plt
    answer_lines 1 in.plt 1.0 A Y
    run_plotmerge
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic "plotmerge: writing 'RISK.PLT': No space left on device"
    repeated_lines "$ONE_LINE" 4856 >expected_avg.plt
    expect_file_bytes AVG_CONC.PLT expected_avg.plt
    repeated_lines "$RISK_LINE" 4854 >expected_risk.plt
    expect_file_bytes small/RISK.PLT expected_risk.plt
}

# 50 lines (5400 bytes) for a 4 KiB file system: everything after the first
# line is still buffered when the merge ends, and the write-out at closing
# fails. That is a failure of the run, not a success. 4096 bytes fitted, 37
# whole lines (3996 bytes) and 100 bytes of line 38, which are cut off again.
case_combined_output_fills_file_system_at_closing() {
    mount_tmpfs small 4k
    ln -s small/AVG_CONC.PLT AVG_CONC.PLT
    repeated_lines "$ONE_LINE" 50 >in.plt
    answer_lines 1 in.plt 1.0 A N
    run_plotmerge
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic "plotmerge: writing 'AVG_CONC.PLT': No space left on device"
    repeated_lines "$ONE_LINE" 37 >expected.plt
    expect_file_bytes small/AVG_CONC.PLT expected.plt
}

# A file size limit of 1 KiB (ulimit -f 1) refuses the write-out at closing.
# The kernel signals SIGXFSZ first; the run must still end with a diagnostic
# and status 2 rather than die by the signal, like any other refused write.
# Of the 1024 bytes that fitted, the 9 whole lines (972 bytes) stay.
case_file_size_limit_reached() {
    repeated_lines "$ONE_LINE" 50 >in.plt
    answer_lines 1 in.plt 1.0 A N
    (
        ulimit -f 1
        exec env --default-signal=XFSZ "$PLOTMERGE" <answers >stdout.txt 2>stderr.txt
    )
    status=$?
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic "plotmerge: writing 'AVG_CONC.PLT': File too large"
    repeated_lines "$ONE_LINE" 9 >expected.plt
    expect_file_bytes AVG_CONC.PLT expected.plt
}

# Both outputs in a 300 KiB working folder: after the first line of each,
# AVG_CONC.PLT's buffer of 2427 lines fits, RISK.PLT's does not, and the line
# buffered for AVG_CONC.PLT when the run stops finds no room either. Each
# output must end at a line end, holding the lines that fitted in full.
case_both_outputs_fill_the_working_folder() {
    repeated_lines "$ONE_LINE" 5000 >in.plt
    answer_lines 1 ../in.plt 1.0 A Y
    mount_tmpfs small 300k
    (cd small && exec "$PLOTMERGE" <../answers >../stdout.txt 2>../stderr.txt)
    status=$?
    expect_status 2
    expect_diagnostic "plotmerge: writing 'RISK.PLT': No space left on device"
    repeated_lines "$ONE_LINE" 5000 >expected_avg.plt
    repeated_lines "$RISK_LINE" 5000 >expected_risk.plt
    expect_whole_lines_of small/AVG_CONC.PLT expected_avg.plt 2428
    expect_whole_lines_of small/RISK.PLT expected_risk.plt 1
}

run_cases case_combined_output_on_dev_full case_risk_output_on_dev_full \
    case_combined_output_on_dev_full_with_large_input case_risk_output_on_dev_full_with_large_input \
    case_risk_output_fills_file_system_mid_run case_combined_output_fills_file_system_at_closing \
    case_file_size_limit_reached case_both_outputs_fill_the_working_folder
