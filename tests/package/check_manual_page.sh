#!/bin/bash
# The generated manual page formats without a single groff warning, on the
# default device and on the terminal that man uses, and quotes every prompt
# of the dialogue exactly.
#
# Usage: check_manual_page.sh PAGE
# Exit status 77 (skipped) when groff is missing.
set -u

page=$1

command -v groff >/dev/null || { echo "SKIPPED: groff not found (package groff-base)"; exit 77; }
[[ -f $page ]] || { echo "FAILED: no manual page at $page"; exit 1; }

for device in ps utf8; do
    messages=$(groff -ww -z -man -t -T"$device" "$page" 2>&1)
    status=$?
    if [[ $status != 0 || -n $messages ]]; then
        printf '%s\n' "$messages"
        echo "FAILED: groff -T$device reported status $status or warnings"
        exit 1
    fi
done

prompts=(
    'Type in the # of .PLT files for process, max # is 4.'
    'Type in one input file(s) name(s):'
    'Provide scaling factors for above .PLT files, 1.0 for no scaling.'
    'Average or Sum? A/S'
    'Create a 30-yr RISK.PLT from the PLT?  Y/N'
)
for prompt in "${prompts[@]}"; do
    grep -qF -- "$prompt" "$page" || { echo "FAILED: the page does not quote the prompt '$prompt'"; exit 1; }
done

echo "manual page $page formats cleanly"
