#!/usr/bin/env bash
# Starts an installed Spurwerk under a virtual X display and checks what a
# user sees first: the program below PREFIX (PREFIX/bin/spurwerk) comes up
# without a library error box and finds its help file, once as a normal start
# (the own K8055 library) and once with --simulate (the simulated board
# library, no box at all). It starts as the menu entry does, with
# --documents-folder, in a scratch home folder, and checks that the folder
# Spurwerk in the documents was made. With SHOTDIR set, it leaves screenshots
# there.
#
#   scripts/check-installed.sh PREFIX
set -euo pipefail

prefix=$(realpath "${1:?usage: $0 PREFIX}")
program=$prefix/bin/spurwerk
[[ -x $program ]] || { echo "FAIL: $program is missing" >&2; exit 1; }
# The program a user starts needs the C and C++ runtime only; the commands'
# program none of the window's libraries. Both partners come from the
# installed library folder.
if ldd "$program" | grep -E 'libQt6|libsigrok' >&2; then
    echo "FAIL: $program links more than the runtime" >&2
    exit 1
fi
commands=$(dirname "$program")/../lib/spurwerk/spurwerk-commands
[[ -x $commands ]] || commands=$(ls "$prefix"/lib/*/spurwerk/spurwerk-commands 2>/dev/null | head -1)
[[ -x $commands ]] || { echo "FAIL: no commands' program in the library folder" >&2; exit 1; }
if ldd "$commands" | grep -E 'libQt6(Gui|Widgets|PrintSupport)' >&2; then
    echo "FAIL: $commands links the window's libraries" >&2
    exit 1
fi
[[ $("$program" --version) == "Spurwerk "* ]] || { echo "FAIL: $program --version" >&2; exit 1; }
# Manual page, MIME type and the doc folder, as the package installs them.
for file in share/man/man1/spurwerk.1.gz share/mime/packages/spurwerk.xml \
    share/doc/spurwerk/copyright share/doc/spurwerk/changelog.gz; do
    [[ -s $prefix/$file ]] || { echo "FAIL: $prefix/$file is missing" >&2; exit 1; }
done
[[ $(zcat "$prefix/share/man/man1/spurwerk.1.gz" | grep -c '^\.SS ') -ge 3 ]] ||
    { echo "FAIL: the manual page lacks its commands" >&2; exit 1; }
# The decode example of the usage text, on the installed example recording.
text=$("$program" decode "$prefix/share/doc/spurwerk/examples/i2c-uart.sr" \
    -P uart:rx=UART:baudrate=115200:format=ascii -A uart=rx-data </dev/null | sed 's/^uart-1: //' | tr -d '\n')
[[ $text == "Hallo Spurwerk!" ]] || { echo "FAIL: the installed decode example read '$text'" >&2; exit 1; }

scratch=$(mktemp -d)
pid=
xvfb=
cleanup() {
    if [[ -n $pid ]]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    if [[ -n $xvfb ]]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
    rm -rf "$scratch"
}
trap cleanup EXIT

# A virtual display of our own. Xvfb picks a free display number itself and
# reports it (-displayfd), so runs beside other X tests cannot take the same one.
# Without -noreset the server resets when the first program ends, and the next
# one may knock while it does.
exec 3>"$scratch/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$scratch/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
for ((i = 0; i < 100; i++)); do
    [[ -s $scratch/display ]] && break
    sleep 0.1
done
[[ -s $scratch/display ]] || { echo "FAIL: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -1 "$scratch/display")
fail() {
    echo "FAIL: $*" >&2
    [[ -f $scratch/out.log ]] && sed 's/^/  program: /' "$scratch/out.log" >&2
    exit 1
}

# Titles of the visible windows, one a line.
titles() {
    local id
    for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
        xdotool getwindowname "$id" 2>/dev/null || true
    done
}

# Starts the program with the given options; dismisses every message box that
# comes before the main window and keeps their titles in `boxes`. With
# `caption` set, waits for a main window whose title holds it.
start() {
    start_command "$program" --documents-folder "$@"
}

# The same with the whole command line given (the desktop entry's).
start_command() {
    local home=$scratch/home
    rm -rf "$home"
    mkdir -p "$home"
    (cd "$home" && HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
        PATH=$prefix/bin:$PATH QT_QPA_PLATFORM=xcb exec "$@" </dev/null >"$scratch/out.log" 2>&1) &
    pid=$!
    local seen=() i t
    for ((i = 0; i < 150; i++)); do
        kill -0 "$pid" 2>/dev/null || fail "the program ended at start"
        local all
        all=$(titles)
        if grep '^Spurwerk Version' <<<"$all" | grep -qF -- "${caption:-Spurwerk}"; then
            boxes=$(printf '%s\n' "${seen[@]+"${seen[@]}"}" | sort -u | sed '/^$/d')
            return 0
        fi
        while IFS= read -r t; do
            [[ -z $t ]] && continue
            seen+=("$t")
            xdotool search --onlyvisible --name "^$t\$" windowfocus --sync %1 key Return \
                2>/dev/null || true
        done <<<"$all"
        sleep 0.2
    done
    fail "no main window after 30 s (windows: $(titles | tr '\n' ','))"
}

stop() {
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
}

shot() {
    [[ -n ${SHOTDIR:-} ]] && import -window root "$SHOTDIR/$1" || true
}

# Normal start: the own board library is loaded; a missing parallel port may
# be reported, but neither the library nor the help may be missing.
start
grep -q 'DLL - Error' <<<"$boxes" && fail "a library error box came up: $boxes"
grep -qx 'Spurwerk' <<<"$boxes" && fail "a start-up message (help file?) came up: $boxes"
[[ -d $scratch/home/Documents/Spurwerk ]] || fail "the documents folder Spurwerk was not made"
stop
echo "normal start: boxes before the main window: ${boxes:-none}"

# Simulated start: nothing at all may come before the main window. Then the
# help window opens with the installed help file.
start --simulate
[[ -z $boxes ]] || fail "message boxes at a simulated start: $boxes"
sleep 1
shot installed-main-window.png
# There is no window manager to hand out the focus, so it is given to the
# main window directly; then "Hilfe" > "Hilfe" by keyboard, as a user would.
# A busy machine may swallow the first try.
main=$(xdotool search --onlyvisible --name '^Spurwerk Version' | head -1)
for ((try = 0; try < 3; try++)); do
    xdotool windowfocus --sync "$main" 2>/dev/null || true
    sleep 0.5
    xdotool key alt+h
    sleep 0.7
    xdotool key Return
    for ((i = 0; i < 25; i++)); do
        titles | grep -q '^Spurwerk – Hilfe' && break 2
        sleep 0.2
    done
    xdotool key Escape
done
titles | grep -q '^Spurwerk – Hilfe' || fail "the menu opened no help window"
sleep 1
shot installed-help.png
stop
echo "simulated start: no boxes; help window opened"

# A recording opened as the desktop opens it: the entry's Exec line with %f
# replaced by the file; the main window then names the file in its caption.
desktop=$prefix/share/applications/spurwerk.desktop
grep -q '^MimeType=.*application/x-spurwerk-dig;' "$desktop" || fail "the entry lacks the .DIG type"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
recording=$scratch/Probe.DIG
head -c 2048 /dev/urandom >"$recording"
read -r -a words <<<"${exec_line//%f/$recording}"
caption=Probe.DIG start_command "${words[@]}" --simulate
[[ -z $boxes ]] || fail "message boxes opening $recording: $boxes"
stop
echo "desktop entry: $recording opened"
echo "PASS: installed program below $prefix"
