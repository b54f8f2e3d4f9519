#!/usr/bin/env bash
# A field that is not a number stops the run: every number field in every
# input of four, and the first, a middle and the last line of
# input 1 and of input 4 of four: both outputs keep exactly the positions
# before it, and nothing of the failing position.
source "$(dirname "$0")/lib.sh"

LINES=5

# Input i holds, at line p, the value p and the tag_b IN-i; the merged line p
# in Sum mode is 4p, carries input 4's fields, and its risk value is 2976p.
input_line() { record 100.00000 200.00000 "$2.00000" 1.50 2.25 -3.75 'SRC-A ' "IN-$1    " 00000042 'TAIL    '; }
merged_line() { record 100.00000 200.00000 "$1.00000" 1.50 2.25 -3.75 'SRC-A ' 'IN-4    ' 00000042 'TAIL    '; }

# A line whose field of the given name holds text that is not a number.
bad_line() {
    case $1 in
        value) record 100.00000 200.00000 '12x4567' 1.50 2.25 -3.75 'SRC-A ' 'IN-1    ' 00000042 'TAIL    ' ;;
        stamp) record 100.00000 200.00000 4.00000 1.50 2.25 -3.75 'SRC-A ' 'IN-4    ' ' 4-2' 'TAIL    ' ;;
    esac
}
declare -A BAD_TEXT=([value]="      12x4567" [stamp]="     4-2")

fails_at() {
    local input=$1 line=$2 field=$3 i p
    for i in 1 2 3 4; do
        for ((p = 1; p <= LINES; p++)); do
            if ((i == input && p == line)); then bad_line "$field"; else input_line "$i" "$p"; fi
        done >"in$i.plt"
    done
    answer_lines 4 in1.plt in2.plt in3.plt in4.plt 1.0 1.0 1.0 1.0 S Y
    run_plotmerge
    expect_status 2
    expect_prompts 4 risk
    expect_diagnostic "plotmerge: converting a field of 'in$input.plt': line $line: field $field holds '${BAD_TEXT[$field]}', which is not a number"
    : >expected_sum.plt
    : >expected_risk.plt
    for ((p = 1; p < line; p++)); do
        merged_line $((4 * p)) >>expected_sum.plt
        merged_line $((2976 * p)) >>expected_risk.plt
    done
    expect_file_bytes SUM_CONC.PLT expected_sum.plt
    expect_file_bytes RISK.PLT expected_risk.plt
}

case_first_line_of_input_1() { fails_at 1 1 value; }
case_middle_line_of_input_1() { fails_at 1 3 value; }
case_last_line_of_input_1() { fails_at 1 "$LINES" value; }
case_first_line_of_input_4() { fails_at 4 1 stamp; }
case_middle_line_of_input_4() { fails_at 4 3 stamp; }
case_last_line_of_input_4() { fails_at 4 "$LINES" stamp; }

# Every number field, with text that is not a number, at line 2 of each input
# of four: the run stops with status 2 whichever input and field it is, and
# both outputs keep line 1 alone. Each field holds 1.2.3 or, for the stamp,
# 1-2, which no reader takes.
FIELDS=(x y value aux1 aux2 aux3 stamp)
declare -A FIELD_TEXT=([x]="        1.2.3" [y]="        1.2.3" [value]="        1.2.3" [aux1]="   1.2.3"
    [aux2]="   1.2.3" [aux3]="   1.2.3" [stamp]="     1-2")

# Input $1's line 2 with the named field bad, every other field as input_line writes it.
line_with_bad_field() {
    local fields=(100.00000 200.00000 2.00000 1.50 2.25 -3.75 'SRC-A ' "IN-$1    " 00000042 'TAIL    ') at
    case $2 in
        x) at=0 ;; y) at=1 ;; value) at=2 ;; aux1) at=3 ;; aux2) at=4 ;; aux3) at=5 ;; stamp) at=8 ;;
    esac
    fields[at]=${FIELD_TEXT[$2]}
    record "${fields[@]}"
}

stops_at_bad_field() {
    local input=$1 field=$2 i
    for i in 1 2 3 4; do
        input_line "$i" 1 >"in$i.plt"
        if ((i == input)); then line_with_bad_field "$i" "$field"; else input_line "$i" 2; fi >>"in$i.plt"
        input_line "$i" 3 >>"in$i.plt"
    done
    answer_lines 4 in1.plt in2.plt in3.plt in4.plt 1.0 1.0 1.0 1.0 S Y
    run_plotmerge
    expect_status 2
    expect_diagnostic "plotmerge: converting a field of 'in$input.plt': line 2: field $field holds '${FIELD_TEXT[$field]}', which is not a number"
    merged_line 4 >expected_sum.plt
    merged_line 2976 >expected_risk.plt
    expect_file_bytes SUM_CONC.PLT expected_sum.plt
    expect_file_bytes RISK.PLT expected_risk.plt
}

bad_field_cases=()
for input in 1 2 3 4; do
    for field in "${FIELDS[@]}"; do
        eval "case_bad_${field}_in_input_$input() { stops_at_bad_field $input $field; }"
        bad_field_cases+=("case_bad_${field}_in_input_$input")
    done
done

run_cases "${bad_field_cases[@]}" case_first_line_of_input_1 case_middle_line_of_input_1 case_last_line_of_input_1 \
    case_first_line_of_input_4 case_middle_line_of_input_4 case_last_line_of_input_4
