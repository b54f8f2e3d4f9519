# Shared helpers for the fault-injection groups. A group script sources this
# file with the path of the plotmerge binary as its first argument, defines its
# cases as shell functions and hands their names to run_cases. Every case runs
# in a subshell inside its own fresh folder; the group exits 0 when all cases
# pass, 1 when any fails, and 77 (skipped) when any could not do its set-up.

set -u

PLOTMERGE=$(realpath "${1:?usage: $0 PATH_TO_PLOTMERGE}")
# A build for another machine runs through its emulator (Wine, qemu-user),
# given as words in PLOTMERGE_EMULATOR.
read -r -a EMULATOR <<<"${PLOTMERGE_EMULATOR:-}"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/plotmerge-faults.XXXXXX")
MOUNTS="$WORK/.mounts"
: >"$MOUNTS"

# Mounts are undone innermost first, before anything is removed; the removal
# never crosses into a mount that could not be undone.
cleanup() {
    local point
    if [[ -s $MOUNTS ]]; then
        tac "$MOUNTS" | while IFS= read -r point; do
            umount "$point" 2>/dev/null || umount -l "$point" 2>/dev/null
        done
    fi
    chmod -R u+rwX "$WORK" 2>/dev/null
    rm -rf --one-file-system "$WORK"
    # An emulator's server run as nobody (Wine's) may still be writing its
    # state into nobody's home for a moment after the run.
    local try
    for try in 1 2 3 4 5; do
        [[ -z $NOBODY_ROOM || ! -e $NOBODY_ROOM ]] && break
        rm -rf --one-file-system "$NOBODY_ROOM" 2>/dev/null || sleep 1
    done
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# ---- set-up -------------------------------------------------------------

skip() { echo "  skipped: $*"; exit 77; }

# A tmpfs of the given size mounted on a new folder; undone at exit.
mount_tmpfs() {
    local point=$1 size=$2
    mkdir -p "$point"
    mount -t tmpfs -o "size=$size,mode=0755" plotmerge-faults "$point" 2>/dev/null ||
        skip "mounting a tmpfs on $point was refused"
    realpath "$point" >>"$MOUNTS"
}

remount_read_only() {
    mount -o remount,ro "$1" 2>/dev/null || skip "remounting $1 read-only was refused"
}

# source seen read-only under point, through a bind mount; undone at exit.
bind_read_only() {
    local source=$1 point=$2
    mkdir -p "$point"
    mount --bind "$source" "$point" 2>/dev/null || skip "bind-mounting $source was refused"
    realpath "$point" >>"$MOUNTS"
    mount -o remount,bind,ro "$point" 2>/dev/null || skip "remounting the bind mount read-only was refused"
}

# ---- plot files ---------------------------------------------------------

# A data line in the layout the tool writes, so that a line read with factor
# 1.0 comes out unchanged. Numbers are given as they are written; the text
# fields (tag_a 6 bytes, tag_b 8, tag_c 8) as printf %b strings of exact width.
record() {
    printf ' %13s %13s %13s %8s %8s %8s  %b  %b  %8s  %b\n' "$@"
}

# A data line with the given value field and fixed other fields:
# x 100, y 200, aux 1.50 2.25 -3.75, stamp 42.
data_line() {
    record 100.00000 200.00000 "$1" 1.50 2.25 -3.75 'SRC-A ' 'GROUP-1 ' 00000042 'TAIL    '
}

# A header line as the tool writes it: padded with blanks to 120 columns.
written_header() { printf '%-120s\n' "$1"; }

# ---- dialogue -----------------------------------------------------------

# One answer per argument, each on its own line, into the file answers.
answer_lines() { printf '%s\n' "$@" >answers; }

# The prompts that are due when the dialogue gets as far as the given
# question (count, names, factors, mode or risk) for the given count.
prompts_until() {
    local count=$1 stage=$2 words=(one two three four)
    echo " Type in the # of .PLT files for process, max # is 4."
    [[ $stage == count ]] && return
    if ((count >= 1 && count <= 4)); then
        echo " Type in ${words[count - 1]} input file(s) name(s):"
        [[ $stage == names ]] && return
        if ((count == 1)); then
            echo " Provide scaling factors for above .PLT files,"
            echo " 1.0 for no scaling."
        else
            echo " Provide scaling factors for above .PLT files, 1.0 for no scaling."
        fi
        [[ $stage == factors ]] && return
    fi
    echo " Average or Sum? A/S"
    [[ $stage == mode ]] && return
    echo " Create a 30-yr RISK.PLT from the PLT?  Y/N"
}

# Runs the tool with the answers file on standard input; standard output and
# error go to stdout.txt and stderr.txt, the exit status to $status.
run_plotmerge() {
    "${EMULATOR[@]}" "$PLOTMERGE" <answers >stdout.txt 2>stderr.txt
    status=$?
}

# ---- another user -------------------------------------------------------

# Cases that need a user without root's rights run as nobody. nobody cannot
# pass through a folder that only root may enter, such as a clone or a
# TMPDIR of mode 0700, so those cases run in a room of nobody's own: a
# folder under the first of TMPDIR, /tmp and /var/tmp that nobody can
# reach, holding a copy of the program and of its emulator's runner (Wine's
# runner lives in the clone), the case folders, and nobody's home and TMPDIR,
# where an emulator keeps its state (Wine's prefix). A group makes the room
# before its cases run; it is removed at exit.
as_nobody() { setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"; }

NOBODY_ROOM=
NOBODY_UNAVAILABLE=
make_room_for_nobody() {
    local base
    if [[ $(id -u) != 0 ]]; then
        NOBODY_UNAVAILABLE="changing to the user nobody needs root"
    elif ! command -v setpriv >/dev/null; then
        NOBODY_UNAVAILABLE="setpriv is missing (package util-linux)"
    elif ! { getent passwd nobody && getent group nogroup; } >/dev/null; then
        NOBODY_UNAVAILABLE="no user nobody or group nogroup"
    elif ! as_nobody true 2>/dev/null; then
        NOBODY_UNAVAILABLE="setpriv cannot change to nobody"
    else
        for base in "${TMPDIR:-/tmp}" /tmp /var/tmp; do
            as_nobody test -d "$base" -a -x "$base" 2>/dev/null || continue
            NOBODY_ROOM=$(mktemp -d "$base/plotmerge-faults-nobody.XXXXXX") && break
        done
        [[ -n $NOBODY_ROOM ]] ||
            NOBODY_UNAVAILABLE="nobody may enter none of ${TMPDIR:-/tmp}, /tmp and /var/tmp"
    fi
    [[ -n $NOBODY_ROOM ]] || return 1
    chmod 0755 "$NOBODY_ROOM"
    mkdir -m 0755 "$NOBODY_ROOM/bin" "$NOBODY_ROOM/cases"
    mkdir -m 0700 "$NOBODY_ROOM/home" "$NOBODY_ROOM/home/tmp"
    chown nobody:nogroup "$NOBODY_ROOM/home" "$NOBODY_ROOM/home/tmp"
    cp "$PLOTMERGE" "$NOBODY_ROOM/bin/" && chmod 0755 "$NOBODY_ROOM/bin/${PLOTMERGE##*/}"
    NOBODY_PLOTMERGE=$NOBODY_ROOM/bin/${PLOTMERGE##*/}
    NOBODY_EMULATOR=("${EMULATOR[@]}")
    if ((${#EMULATOR[@]} > 0)) && [[ ${EMULATOR[0]} == */* && -f ${EMULATOR[0]} ]]; then
        cp "${EMULATOR[0]}" "$NOBODY_ROOM/bin/" && chmod 0755 "$NOBODY_ROOM/bin/${EMULATOR[0]##*/}"
        NOBODY_EMULATOR[0]=$NOBODY_ROOM/bin/${EMULATOR[0]##*/}
    fi
}

# Moves the current case, files and all, into the room and makes it nobody's.
move_case_to_room_for_nobody() {
    [[ -n $NOBODY_ROOM ]] || skip "$NOBODY_UNAVAILABLE"
    local folder=$NOBODY_ROOM/cases/${PWD##*/}
    cp -a . "$folder" && cd "$folder" && chown -R nobody:nogroup . || exit 1
}

# Runs the tool as nobody, as run_plotmerge does, in a folder of the room.
run_plotmerge_as_nobody() {
    env -u PLOTMERGE_WINEPREFIX HOME="$NOBODY_ROOM/home" XDG_CACHE_HOME="$NOBODY_ROOM/home/.cache" \
        TMPDIR="$NOBODY_ROOM/home/tmp" \
        setpriv --reuid=nobody --regid=nogroup --clear-groups -- \
        "${NOBODY_EMULATOR[@]}" "$NOBODY_PLOTMERGE" <answers >stdout.txt 2>stderr.txt
    status=$?
}

# Runs the tool under /usr/bin/time and checks that its peak memory stayed
# below the given number of KiB.
run_plotmerge_within_memory() {
    local limit_kib=$1
    if [[ ! -x /usr/bin/time ]]; then
        fail "/usr/bin/time is missing, so the peak memory cannot be measured"
        return
    fi
    /usr/bin/time -f %M -o peak_kib.txt "$PLOTMERGE" <answers >stdout.txt 2>stderr.txt
    status=$?
    local peak
    peak=$(tail -n 1 peak_kib.txt 2>/dev/null)
    if ! [[ $peak =~ ^[0-9]+$ ]]; then
        fail "the peak memory could not be measured (/usr/bin/time gave '${peak}')"
        return
    fi
    echo "  peak memory ${peak} KiB"
    ((peak < limit_kib)) || fail "peak memory ${peak} KiB, expected under ${limit_kib} KiB"
}

# ---- expectations -------------------------------------------------------

# context, when set, tells which row of a table of checks failed.
fail() {
    echo "  FAIL: ${context:+$context: }$*"
    failed=1
}

expect_status() {
    [[ $status == "$1" ]] || fail "exit status $status, expected $1"
}

# Standard output holds exactly the prompts due up to the given question.
expect_prompts() {
    prompts_until "$@" >expected_stdout.txt
    cmp -s stdout.txt expected_stdout.txt || fail "standard output differs from the prompts up to '$2'"
}

# Standard error holds exactly one line; it equals the text, or (the _like
# form) matches the extended regular expression.
one_diagnostic_line() {
    local lines
    lines=$(wc -l <"${2:-stderr.txt}")
    if [[ $lines != 1 || $(tail -c 1 "${2:-stderr.txt}" | od -An -c) != *'\n'* ]]; then
        fail "standard error holds $lines lines, expected one: $(head -c 300 "${2:-stderr.txt}")"
        return 1
    fi
    diagnostic=$(cat "${2:-stderr.txt}")
}
expect_diagnostic() {
    one_diagnostic_line "$@" || return
    [[ $diagnostic == "$1" ]] || fail "diagnostic '$diagnostic', expected '$1'"
}
expect_diagnostic_like() {
    one_diagnostic_line "$@" || return
    [[ $diagnostic =~ $1 ]] || fail "diagnostic '$diagnostic' does not match '$1'"
}

expect_no_diagnostic() {
    [[ ! -s stderr.txt ]] || fail "unexpected standard error: $(head -c 300 stderr.txt)"
}

# The file holds exactly the bytes of the expected file.
expect_file_bytes() {
    local file=$1 expected=$2
    if [[ ! -f $file ]]; then
        fail "$file missing"
    elif ! cmp -s "$file" "$expected"; then
        fail "$file differs from $expected: $(cmp "$file" "$expected" 2>&1 | head -c 200)"
    fi
}

# The file holds whole lines only, the first of the expected file's lines, and
# at least the given number of them.
expect_whole_lines_of() {
    local file=$1 expected=$2 least=$3 size lines
    size=$(stat -c %s "$file")
    lines=$(wc -l <"$file")
    if [[ $size != 0 && $(tail -c 1 "$file" | od -An -tx1) != *0a* ]]; then
        fail "$file ends in a partial line ($size bytes)"
    elif ! cmp -s "$file" <(head -c "$size" "$expected"); then
        fail "$file is not the start of $expected"
    elif ((lines < least)); then
        fail "$file holds $lines lines, expected at least $least"
    fi
}

expect_empty_file() {
    [[ -f $1 && ! -s $1 ]] || fail "$1 should exist and be empty"
}

expect_no_file() {
    local name
    for name; do
        [[ ! -e $name && ! -L $name ]] || fail "$name should not exist"
    done
}

# ---- running the cases --------------------------------------------------

# Runs each case in a folder of its own under CASES_FOLDER ($WORK unless the
# group chose another, such as its room for nobody).
run_cases() {
    local name passed=0 failures=0 skipped=0 result
    for name; do
        mkdir -p "${CASES_FOLDER:-$WORK}/$name"
        (
            cd "${CASES_FOLDER:-$WORK}/$name" || exit 1
            failed=0
            "$name"
            exit "$failed"
        )
        result=$?
        case $result in
            0) echo "ok      $name"; passed=$((passed + 1)) ;;
            77) echo "skipped $name"; skipped=$((skipped + 1)) ;;
            *) echo "FAILED  $name"; failures=$((failures + 1)) ;;
        esac
    done
    echo "$passed passed, $failures failed, $skipped skipped"
    ((failures > 0)) && exit 1
    # A group that could not run all of its cases is reported as skipped, so
    # that ctest's summary shows it; the lines above tell which cases ran.
    ((skipped > 0)) && exit 77
    exit 0
}
