#!/usr/bin/env bash
# File names that cannot be opened, names of a file that is already open, and
# names at and past the 120 columns a name answer holds.
source "$(dirname "$0")/lib.sh"

plot_input() { { echo '* named input'; data_line 1.00000; data_line 6.50000; } >"$1"; }
merged_input() { { written_header '* named input'; data_line 1.00000; data_line 6.50000; } >"$1"; }

# Each row: a name line (printf format), the name as the diagnostic shows it,
# and the cause. The file a stands beside a name that holds a NUL byte after
# an a, and must not be opened in its place.
REFUSED_ROWS=(
    '||No such file or directory' '     ||No such file or directory' 'sub|sub|Is a directory'
    'nodir/a.plt|nodir/a.plt|No such file or directory' 'loop.plt|loop.plt|Too many levels of symbolic links'
    'a\000b.plt|a\x00b.plt|a file name cannot hold a NUL byte'
    'no\001dir\033/a.plt|no\x01dir\x1b/a.plt|No such file or directory'
)
case_input_names_that_cannot_be_opened() {
    local row name_line shown cause
    mkdir sub
    ln -s loop.plt loop.plt
    plot_input a
    for row in "${REFUSED_ROWS[@]}"; do
        IFS='|' read -r name_line shown cause <<<"$row"
        context="name '$name_line'"
        # shellcheck disable=SC2059
        printf "1\n$name_line\n1.0\nA\nY\n" >answers
        run_plotmerge
        expect_status 2
        expect_prompts 1 factors
        expect_diagnostic "plotmerge: opening '$shown': $cause"
        expect_no_file AVG_CONC.PLT RISK.PLT nodir
    done
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
# Blanks after the 120 bytes of a name are trailing blanks like any other.
case_name_of_120_characters_and_blanks() { merges_from "$NAME_120     " "$NAME_120"; }
# A longer name is refused at its open rather than cut, which would open the
# file of its first 120 bytes; the diagnostic names them, trailing blanks dropped.
refuses_name() {
    local name_line=$1 named=$2 existing=$3
    plot_input "$existing"
    answer_lines 1 "$name_line" 1.0 A N
    run_plotmerge
    expect_status 2
    expect_prompts 1 factors
    expect_diagnostic "plotmerge: opening '$named': the name answered is longer than 120 bytes, the longest that plotmerge takes; nothing of this name was opened"
    expect_no_file AVG_CONC.PLT
}
case_name_longer_than_120_characters() {
    refuses_name "${NAME_120}.longer" "$NAME_120" "$NAME_120"
    expect_no_file "${NAME_120}.longer"
}
case_name_whose_120th_column_is_a_blank() {
    refuses_name "$(printf '%-120s' a.plt)tail.plt" a.plt a.plt
    expect_no_file tail.plt
}

run_cases case_input_names_that_cannot_be_opened case_same_file_through_a_hard_link \
    case_same_file_through_a_symbolic_link \
    case_same_file_through_a_path_with_dot case_input_named_as_the_combined_output \
    case_input_named_as_the_risk_output case_combined_output_is_a_folder case_name_of_exactly_120_characters \
    case_name_of_120_characters_and_blanks case_name_longer_than_120_characters case_name_whose_120th_column_is_a_blank
