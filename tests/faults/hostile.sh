#!/usr/bin/env bash
# Hostile bytes and sizes: NUL, tab, control and non-ASCII bytes in plot files
# and answers, lines and answers of megabytes, answers at the length limit,
# and an input that is a named pipe.
source "$(dirname "$0")/lib.sh"

# A plain build stays near 3 MiB; AddressSanitizer's shadow and quarantine add
# about 18 MiB of their own. Either way a line of megabytes held whole would
# push the peak over the limit.
if [[ ${PLOTMERGE_SANITIZED:-0} == 1 ]]; then
    MEMORY_LIMIT_KIB=28672
    echo "note: sanitized build, memory limit raised to $MEMORY_LIMIT_KIB KiB for the sanitizer's own memory"
else
    MEMORY_LIMIT_KIB=16384
fi

# n bytes of the given byte (octal escape for tr).
bytes_of() { head -c "$1" /dev/zero | tr '\0' "$2"; }

# About n bytes cycling through every byte value but LF.
junk_without_line_feed() {
    perl -e 'my $block = join "", map { chr } grep { $_ != 10 } 0 .. 255; print $block x int($ARGV[0] / 255)' "$1"
}

# Input 1 has header lines and plain data lines; input 2, whose text fields are
# carried, has hostile bytes in its text columns, separators and columns 108
# to 120, and junk at the header positions, where its lines are never read.
case_text_columns_pass_bytes_unchanged() {
    local header='*\x00\x09\x01\x1b\xe9\xff header' tag_a='\x00\x09\x01\x1b\xe9\xff'
    local tag_b='\x7f\x80 tab\x09 ' tag_c='\xc3\xa9\x00\x00\x0b\x0c\x07 '
    {
        printf '%b%106s\n' "$header" ''
        data_line 1.00000
        printf '*\xff\n'
        data_line -1.00000
    } >in1.plt
    {
        printf '\x00\x00garbage\x09\n'
        record 100.00000 200.00000 3.00000 1.50 2.25 -3.75 "$tag_a" "$tag_b" 00000042 "$tag_c"
        printf '\x01\xff\x09 not a data line at all\n'
        printf '\377%13s\011%13s\377%13s\011%8s\001%8s\000%8s\011\377%b\011\011%b\377\377%8s\011\011%b%b\n' \
            100.00000 200.00000 -5.00000 1.50 2.25 -3.75 "$tag_a" "$tag_b" 00000042 "$tag_c" \
            '\x01\x09\xffjunk\x00\x00\x00\x00\x00\x00'
    } >in2.plt
    answer_lines 2 in1.plt in2.plt 1.0 1.0 A Y
    run_plotmerge
    expect_status 0
    expect_prompts 2 risk
    # Input 1's second header line comes after its first data line.
    expect_diagnostic "plotmerge: warning: 1 header line of 'in1.plt' comes after its first data line; first at line 3: the file may hold more than one run"
    local first second
    while read -r first second; do
        printf '%b%106s\n' "$header" ''
        record 100.00000 200.00000 "$first" 1.50 2.25 -3.75 "$tag_a" "$tag_b" 00000042 "$tag_c"
        printf '*\xff%118s\n' ''
        record 100.00000 200.00000 "$second" 1.50 2.25 -3.75 "$tag_a" "$tag_b" 00000042 "$tag_c"
    done <<<$'2.00000 -3.00000\n1488.00000 -2232.00000' >expected.plt
    head -n 4 expected.plt >expected_avg.plt
    tail -n 4 expected.plt >expected_risk.plt
    expect_file_bytes AVG_CONC.PLT expected_avg.plt
    expect_file_bytes RISK.PLT expected_risk.plt
}

# Each row: the field, its text with @ standing for the hostile byte, that
# byte for tr, and the field as the diagnostic shows it. Line 2 fails.
FIELD_ROWS=(
    'aux1|@   1.50|\011|\x09   1.50'
    'value|1.0@000|\000|      1.0\x00000'
    'stamp|0000@42|\351| 0000\xe942'
    'x|1.0@|\033|         1.0\x1b'
)
case_hostile_byte_in_a_numeric_field() {
    local row field text byte shown
    for row in "${FIELD_ROWS[@]}"; do
        IFS='|' read -r field text byte shown <<<"$row"
        context="field $field"
        mkdir row && cd row || return
        local x=100.00000 value=2.00000 aux1=1.50 stamp=00000042
        printf -v "$field" '%s' "$text"
        {
            data_line 1.00000
            record "$x" 200.00000 "$value" "$aux1" 2.25 -3.75 'SRC-A ' 'GROUP-1 ' "$stamp" 'TAIL    ' | tr '@' "$byte"
        } >in.plt
        answer_lines 1 in.plt 1.0 S N
        run_plotmerge
        expect_status 2
        expect_prompts 1 risk
        expect_diagnostic "plotmerge: converting a field of 'in.plt': line 2: field $field holds '$shown', which is not a number"
        data_line 1.00000 >expected.plt
        expect_file_bytes SUM_CONC.PLT expected.plt
        cd .. && rm -rf row
    done
}

# Lines of megabytes, the last without LF: only their first 120 bytes count.
case_lines_of_megabytes_in_an_input() {
    {
        printf '* long header'
        bytes_of $((3 << 20)) h
        echo
        data_line 1.00000 | tr -d '\n'
        bytes_of $((8 << 20)) x
        echo
        data_line 2.00000
        data_line 3.00000 | tr -d '\n'
        bytes_of $((4 << 20)) y
    } >in.plt
    answer_lines 1 in.plt 1.0 A N
    run_plotmerge_within_memory "$MEMORY_LIMIT_KIB"
    expect_status 0
    expect_no_diagnostic
    {
        printf '* long header'
        bytes_of 107 h
        echo
        data_line 1.00000
        data_line 2.00000
        data_line 3.00000
    } >expected.plt
    expect_file_bytes AVG_CONC.PLT expected.plt
}

# A name line of megabytes of trailing blanks is the name a.plt; junk of
# megabytes after the count and after a factor on their lines is ignored.
case_answers_of_megabytes() {
    { data_line 1.00000; data_line 2.50000; } >a.plt
    {
        printf '1 '
        junk_without_line_feed $((4 << 20))
        printf '\n%-120s' a.plt
        bytes_of $((3 << 20)) ' '
        printf '\n2.0,'
        junk_without_line_feed $((4 << 20))
        printf '\nS\nY\n'
    } >answers
    run_plotmerge_within_memory "$MEMORY_LIMIT_KIB"
    expect_status 0
    expect_prompts 1 risk
    expect_no_diagnostic
    { data_line 2.00000; data_line 5.00000; } >expected_sum.plt
    { data_line 1488.00000; data_line 3720.00000; } >expected_risk.plt
    expect_file_bytes SUM_CONC.PLT expected_sum.plt
    expect_file_bytes RISK.PLT expected_risk.plt
}

# Count and factor answers of 4096 characters are read; one more is too long.
zeros() { printf '0%.0s' $(seq "$1"); }
case_answers_at_the_length_limit() {
    data_line 1.00000 >a.plt
    answer_lines "$(zeros 4095)1" a.plt "$(zeros 4093)1.5" A N
    run_plotmerge
    expect_status 0
    expect_no_diagnostic
    data_line 1.50000 >expected.plt
    expect_file_bytes AVG_CONC.PLT expected.plt
}
case_count_answer_too_long() {
    answer_lines "$(zeros 4096)1" a.plt 1.0 A N
    run_plotmerge
    expect_status 2
    expect_prompts 1 count
    expect_diagnostic_like "^plotmerge: reading an answer: .*too long"
    expect_no_file a.plt AVG_CONC.PLT
}
case_factor_answer_too_long() {
    data_line 1.00000 >a.plt
    answer_lines 1 a.plt "$(zeros 4094)1.5" A N
    run_plotmerge
    expect_status 2
    expect_prompts 1 factors
    expect_diagnostic_like "^plotmerge: reading an answer: .*too long"
    expect_no_file AVG_CONC.PLT
}

# A NUL byte does not end a count: the answer is not a number, and the
# diagnostic stays one readable line.
case_nul_byte_in_the_count_answer() {
    printf '1\000\033\n a.plt\n1.0\nA\nN\n' >answers
    run_plotmerge
    expect_status 2
    expect_prompts 1 count
    expect_diagnostic_like '^plotmerge: reading an answer: .*1\\x00\\x1b'
}

# Reading the tool's own memory from address 0 is refused by the operating
# system: a read failure at the first line, with both outputs opened and empty.
case_input_whose_reading_fails() {
    answer_lines 1 /proc/self/mem 1.0 A Y
    run_plotmerge
    expect_status 2
    expect_prompts 1 risk
    expect_diagnostic "plotmerge: reading '/proc/self/mem': Input/output error"
    expect_empty_file AVG_CONC.PLT
    expect_empty_file RISK.PLT
}

# A named pipe as input: once its writer has written two lines and closed it,
# the input has no line left and the run ends.
case_input_from_a_named_pipe() {
    mkfifo in.plt
    { data_line 1.00000; data_line 2.00000; } >expected.plt
    timeout 20 bash -c 'cat expected.plt >in.plt' &
    local writer=$!
    answer_lines 1 in.plt 1.0 A N
    timeout 10 "$PLOTMERGE" <answers >stdout.txt 2>stderr.txt
    status=$?
    wait "$writer"
    expect_status 0
    expect_no_diagnostic
    expect_file_bytes AVG_CONC.PLT expected.plt
}

# A named pipe as the combined output, with a reader: the reader gets the lines.
case_output_to_a_named_pipe() {
    { data_line 1.00000; data_line 2.00000; } >in.plt
    mkfifo AVG_CONC.PLT
    timeout 20 cat AVG_CONC.PLT >received.plt &
    local reader=$!
    answer_lines 1 in.plt 1.0 A N
    timeout 10 "$PLOTMERGE" <answers >stdout.txt 2>stderr.txt
    status=$?
    wait "$reader"
    expect_status 0
    expect_no_diagnostic
    expect_file_bytes received.plt in.plt
}

run_cases case_text_columns_pass_bytes_unchanged case_hostile_byte_in_a_numeric_field \
    case_lines_of_megabytes_in_an_input case_answers_of_megabytes case_answers_at_the_length_limit \
    case_count_answer_too_long case_factor_answer_too_long case_nul_byte_in_the_count_answer \
    case_input_whose_reading_fails case_input_from_a_named_pipe case_output_to_a_named_pipe
