#!/usr/bin/env bash
# File names that cannot be opened, names of a file that is already open, and
# names at and past the 120 columns a name answer holds.
source "$(dirname "$0")/lib.sh"

plot_input() { { echo '* named input'; data_line 1.00000; data_line 6.50000; } >"$1"; }
merged_input() { { written_header '* named input'; data_line 1.00000; data_line 6.50000; } >"$1"; }

# Runs a one-input dialogue whose name line is the given printf format, and
# expects the opening to fail with the given diagnostic before the mode question.
expect_input_refused() {
    local name_line=$1 diagnostic=$2
    # shellcheck disable=SC2059
    printf "1\n$name_line\n1.0\nA\nY\n" >answers
    run_plotmerge
    expect_status 2
    expect_prompts 1 factors
    expect_diagnostic "$diagnostic"
    expect_no_file AVG_CONC.PLT RISK.PLT
}

case_empty_name() { expect_input_refused '' "plotmerge: opening '': No such file or directory"; }
case_blanks_only() { expect_input_refused '     ' "plotmerge: opening '': No such file or directory"; }
case_folder() {
    mkdir sub
    expect_input_refused 'sub' "plotmerge: opening 'sub': Is a directory"
}
case_missing_folder() {
    expect_input_refused 'nodir/a.plt' "plotmerge: opening 'nodir/a.plt': No such file or directory"
    expect_no_file nodir
}
# The name stops at the NUL byte for the operating system; the file a must
# not be opened in its place.
case_name_holding_a_nul_byte() {
    plot_input a
    expect_input_refused 'a\000b.plt' "plotmerge: opening 'a\\x00b.plt': a file name cannot hold a NUL byte"
}
case_name_holding_control_bytes() {
    expect_input_refused 'no\001dir\033/a.plt' "plotmerge: opening 'no\\x01dir\\x1b/a.plt': No such file or directory"
}

case_symbolic_link_loop() {
    ln -s loop.plt loop.plt
    expect_input_refused 'loop.plt' "plotmerge: opening 'loop.plt': Too many levels of symbolic links"
}

# Inputs 1 and 4 open, the second name of the same file is refused.
same_file_twice() {
    local first=$1 second=$2
    plot_input a.plt
    plot_input b.plt
    plot_input c.plt
    answer_lines 4 "$first" b.plt c.plt "$second" 1.0 1.0 1.0 1.0 A N
    run_plotmerge
    expect_status 2
    expect_prompts 4 factors
    expect_diagnostic "plotmerge: opening '$second': the same file is already open in this run as '$first'"
    expect_no_file AVG_CONC.PLT
}
case_same_file_through_a_hard_link() { plot_input a.plt && ln a.plt linked.plt && same_file_twice a.plt linked.plt; }
case_same_file_through_a_symbolic_link() { ln -s a.plt linked.plt && same_file_twice a.plt linked.plt; }
case_same_file_through_a_path_with_dot() { same_file_twice ./a.plt a.plt; }

# An input that is also the output: the input opens, the output does not, and
# the file keeps its lines.
case_input_named_as_the_combined_output() {
    plot_input AVG_CONC.PLT
    cp AVG_CONC.PLT expected.plt
    answer_lines 1 AVG_CONC.PLT 1.0 A N
    run_plotmerge
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic "plotmerge: opening 'AVG_CONC.PLT': the same file is already open in this run as 'AVG_CONC.PLT'"
    expect_file_bytes AVG_CONC.PLT expected.plt
}

case_input_named_as_the_risk_output() {
    plot_input RISK.PLT
    cp RISK.PLT expected.plt
    answer_lines 1 RISK.PLT 1.0 S Y
    run_plotmerge
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic "plotmerge: opening 'RISK.PLT': the same file is already open in this run as 'RISK.PLT'"
    expect_file_bytes RISK.PLT expected.plt
    expect_no_file SUM_CONC.PLT
}

# RISK.PLT opens (created empty) before the combined output, a folder, fails.
case_combined_output_is_a_folder() {
    plot_input a.plt
    mkdir AVG_CONC.PLT
    answer_lines 1 a.plt 1.0 A Y
    run_plotmerge
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic "plotmerge: opening 'AVG_CONC.PLT': Is a directory"
    expect_empty_file RISK.PLT
}

NAME_120=$(printf 'n%.0s' {1..116}).plt

merges_from() {
    local name_line=$1 file=$2
    plot_input "$file"
    answer_lines 1 "$name_line" 1.0 A N
    run_plotmerge
    expect_status 0
    expect_prompts 1 risk
    expect_no_diagnostic
    merged_input expected.plt
    expect_file_bytes AVG_CONC.PLT expected.plt
}
case_name_of_exactly_120_characters() { merges_from "$NAME_120" "$NAME_120"; }
case_name_longer_than_120_characters() {
    merges_from "${NAME_120}.longer" "$NAME_120"
    expect_no_file "${NAME_120}.longer"
}
# Cut to 120 columns, the name is a.plt and 115 blanks, which are dropped.
case_name_whose_120th_column_is_a_blank() {
    merges_from "$(printf '%-120s' a.plt)tail.plt" a.plt
    expect_no_file tail.plt
}

run_cases case_empty_name case_blanks_only case_folder case_missing_folder case_name_holding_a_nul_byte \
    case_name_holding_control_bytes case_symbolic_link_loop case_same_file_through_a_hard_link \
    case_same_file_through_a_symbolic_link \
    case_same_file_through_a_path_with_dot case_input_named_as_the_combined_output \
    case_input_named_as_the_risk_output case_combined_output_is_a_folder case_name_of_exactly_120_characters \
    case_name_longer_than_120_characters case_name_whose_120th_column_is_a_blank
