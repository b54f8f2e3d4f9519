#!/usr/bin/env bash
# Standard input that ends early, standard output closed or a pipe without
# reader, and standard streams connected to files the dialogue names.
source "$(dirname "$0")/lib.sh"

CLOSING_READER="$(dirname "$(realpath "$0")")/closing_reader.pl"
ENDED="^plotmerge: reading an answer: standard input ended before the answer to .+$"
BROKEN="^plotmerge: writing a prompt to 'standard output': Broken pipe$"

two_inputs() {
    data_line 1.00000 >a.plt
    data_line 2.00000 >b.plt
    cp a.plt a.expected && cp b.plt b.expected
}

expect_nothing_written() {
    expect_no_file AVG_CONC.PLT SUM_CONC.PLT RISK.PLT
    expect_file_bytes a.plt a.expected
    expect_file_bytes b.plt b.expected
}

# Each row: the answers given (printf format), the count, the last question
# asked. A blank name line is an answer of its own; blank count, factor and
# word lines are skipped, and the input may end after them too.
END_ROWS=(
    '|2|count' '\n \n\t\n|2|count'
    '2\n|2|names' '2\n\n|2|names' '2\na.plt|2|names'
    '2\na.plt\nb.plt\n|2|factors' '2\na.plt\nb.plt\n1.0\n\n \n|2|factors' '1\na.plt\n\n|1|factors'
    '2\na.plt\nb.plt\n1.0\n0.5\n|2|mode' '2\na.plt\nb.plt\n1.0\n0.5\n\n\t\n|2|mode'
    '2\na.plt\nb.plt\n1.0\n0.5\nA\n|2|risk' '2\na.plt\nb.plt\n1.0\n0.5\nA\n \n|2|risk'
)

case_input_ends_before_each_answer() {
    local row given count stage
    for row in "${END_ROWS[@]}"; do
        IFS='|' read -r given count stage <<<"$row"
        mkdir "row" && cd row || return
        two_inputs
        # shellcheck disable=SC2059
        printf "$given" >answers
        run_plotmerge
        context="answers '$given'"
        expect_status 2
        expect_prompts "$count" "$stage"
        if [[ $stage == count ]]; then
            expect_diagnostic "plotmerge: reading an answer: standard input ended before the answer to the number of plot files"
        else
            expect_diagnostic_like "$ENDED"
        fi
        expect_nothing_written
        cd .. && rm -rf row
    done
    unset context
}

# Each row: the arguments and redirections of the standard streams, whether
# the first prompt reaches stdout.txt, and the diagnostic (extended regular
# expression).
BROKEN_STREAM_ROWS=(
    "<&- >stdout.txt|yes|^plotmerge: reading an answer: .+"
    "<. >stdout.txt|yes|^plotmerge: reading an answer: standard input: Is a directory$"
    "<answers >/dev/full|no|^plotmerge: writing a prompt to 'standard output': No space left on device$"
    "<answers >&-|no|^plotmerge: writing a prompt to 'standard output': .+"
    "--help <answers >/dev/full|no|^plotmerge: writing the help to 'standard output': No space left on device$"
)
case_standard_stream_unusable() {
    local row streams prompted pattern
    two_inputs
    answer_lines 1 a.plt 1.0 A N
    for row in "${BROKEN_STREAM_ROWS[@]}"; do
        IFS='|' read -r streams prompted pattern <<<"$row"
        context="$streams"
        eval "\"\$PLOTMERGE\" $streams 2>stderr.txt"
        status=$?
        expect_status 2
        [[ $prompted == yes ]] && expect_prompts 1 count
        expect_diagnostic_like "$pattern"
        expect_nothing_written
        rm -f stdout.txt
    done
}

# The pipe has lost its reader when the next prompt is due; the tool must end
# with status 2, not be killed by SIGPIPE. Arguments: the count and the last
# question whose prompts were read, then the steps for closing_reader.pl.
reader_leaves_after() {
    local count=$1 stage=$2
    shift 2
    command -v perl >/dev/null || skip "perl is missing"
    two_inputs
    perl "$CLOSING_READER" "$@" -- "$PLOTMERGE" >stdout.txt 2>stderr.txt
    status=$?
    expect_status 2
    if [[ $stage == none ]]; then expect_empty_file stdout.txt; else expect_prompts "$count" "$stage"; fi
    expect_diagnostic_like "$BROKEN"
    expect_nothing_written
}
ALL_ANSWERS=$'1\na.plt\n1.0\nA\nN\n'
case_pipe_without_reader_from_the_start() { reader_leaves_after 1 none 0 "$ALL_ANSWERS"; }
case_pipe_reader_leaves_after_the_first_prompt() { reader_leaves_after 1 count 1 "$ALL_ANSWERS"; }
case_pipe_reader_leaves_before_the_mode_question() {
    reader_leaves_after 1 factors 1 $'1\n' 1 $'a.plt\n' 2 $'1.0\nA\nN\n'
}

case_input_named_after_standard_input() {
    answer_lines 1 answers 1.0 A N
    run_plotmerge
    expect_status 2
    expect_prompts 1 factors
    expect_diagnostic "plotmerge: opening 'answers': the same file is already open in this run as standard input"
    expect_no_file AVG_CONC.PLT
}

case_input_named_dev_stdin() {
    answer_lines 1 /dev/stdin 1.0 A N
    run_plotmerge
    expect_status 2
    expect_prompts 1 factors
    expect_diagnostic "plotmerge: opening '/dev/stdin': the same file is already open in this run as standard input"
}

case_input_named_after_standard_output() {
    two_inputs
    answer_lines 2 a.plt ./stdout.txt 1.0 1.0 A N
    run_plotmerge
    expect_status 2
    expect_prompts 2 factors
    expect_diagnostic "plotmerge: opening './stdout.txt': the same file is already open in this run as standard output"
    expect_nothing_written
}

# The prompts went to AVG_CONC.PLT, so it is already open when the combined
# output is to be opened; RISK.PLT, opened before, stays empty.
case_standard_output_is_the_combined_output() {
    two_inputs
    answer_lines 1 a.plt 1.0 A Y
    "$PLOTMERGE" <answers >AVG_CONC.PLT 2>stderr.txt
    status=$?
    expect_status 2
    expect_diagnostic "plotmerge: opening 'AVG_CONC.PLT': the same file is already open in this run as standard output"
    prompts_until 1 risk >expected.plt
    expect_file_bytes AVG_CONC.PLT expected.plt
    expect_empty_file RISK.PLT
}

case_standard_error_is_the_risk_output() {
    two_inputs
    answer_lines 1 a.plt 1.0 A Y
    "$PLOTMERGE" <answers >stdout.txt 2>RISK.PLT
    status=$?
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic "plotmerge: opening 'RISK.PLT': the same file is already open in this run as standard error" RISK.PLT
    expect_no_file AVG_CONC.PLT
}

# With standard error closed, the diagnostic has nowhere to go; it must not
# land in a plot file that took over descriptor 2.
case_standard_error_closed() {
    two_inputs
    mkdir AVG_CONC.PLT
    answer_lines 2 a.plt b.plt 1.0 1.0 A Y
    "$PLOTMERGE" <answers >stdout.txt 2>&-
    status=$?
    expect_status 2
    expect_prompts 2 risk
    expect_file_bytes a.plt a.expected
    expect_file_bytes b.plt b.expected
    expect_empty_file RISK.PLT
}

run_cases case_input_ends_before_each_answer case_standard_stream_unusable \
    case_pipe_without_reader_from_the_start case_pipe_reader_leaves_after_the_first_prompt \
    case_pipe_reader_leaves_before_the_mode_question case_input_named_after_standard_input case_input_named_dev_stdin \
    case_input_named_after_standard_output case_standard_output_is_the_combined_output \
    case_standard_error_is_the_risk_output case_standard_error_closed
