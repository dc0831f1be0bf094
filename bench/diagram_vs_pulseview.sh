#!/usr/bin/env bash
# The window opening a 64 Mi-sample session file against PulseView opening the
# same file, in one run, each under the same virtual X server: the time from
# the start of the process until the capture is on the screen, and the peak
# memory (maximum resident set) of the process.
#
# "On the screen" is taken as the moment after which the process uses next to
# no CPU (see measure): both programs draw the capture and then wait for input. The file comes from `spurwerk record` (demo device, incremental
# pattern on 8 lines, 20 MHz). PulseView is not needed by the tests; without
# it the script measures the window alone.
#
#   bench/diagram_vs_pulseview.sh BUILD_DIR [SAMPLES] [RUNS]
#   (SAMPLES default 67108864 = 64 Mi, RUNS default 3)
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
samples=${2:-67108864}
runs=${3:-3}
quiet=${QUIET:-3}
slack=${SLACK:-15} # clock ticks (usually 10 ms each)
work=$(mktemp -d)
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
mkdir -p "$XDG_CONFIG_HOME"
xvfb=
cleanup() {
    [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

"$build/spurwerk" record --simulate --source sigrok:demo:pattern=incremental \
    --samples "$samples" --samplerate 20M -o "$work/capture.sr" >/dev/null
cd "$work"
echo "capture: $samples samples, $(stat -c %s "$work/capture.sr") bytes"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
sleep 1

ticks() { # utime + stime of a process, in clock ticks
    awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo -1
}

# Prints "seconds peak_kib" for one start of the command. The process counts
# as settled once it used less than SLACK of CPU over QUIET seconds (timers
# of an idle window still wake it now and then); the capture was shown at the
# first moment after which it used no more than SLACK in all.
measure() {
    local start pid t now peak
    local -a times=() used=()
    # A home of its own for every start: PulseView restores the session it
    # saved at the last exit and would show that capture as well.
    local home
    home=$(mktemp -d -p "$work")
    start=$(date +%s.%N)
    HOME=$home XDG_CONFIG_HOME=$home/.config "$@" >/dev/null 2>&1 &
    pid=$!
    while :; do
        sleep 0.1
        now=$(date +%s.%N)
        t=$(ticks "$pid")
        [[ $t == -1 ]] && { echo "the program ended early: $*" >&2; return 1; }
        times+=("$now")
        used+=("$t")
        local n=${#times[@]} k
        # The sample QUIET seconds ago.
        for ((k = n - 1; k > 0; k--)); do
            awk -v a="$now" -v b="${times[k]}" -v q="$quiet" 'BEGIN {exit !(a - b >= q)}' && break
        done
        ((k > 0)) && ((t - used[k] < slack)) && break
    done
    peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    local i
    for ((i = 0; i < ${#used[@]}; i++)); do
        ((t - used[i] <= slack)) && break
    done
    awk -v l="${times[i]}" -v s="$start" -v p="$peak" 'BEGIN {printf "%.2f %d\n", l - s, p}'
}

# The best time and the largest peak of RUNS starts.
best() {
    local name=$1
    shift
    local time= peak=0
    for ((i = 0; i < runs; i++)); do
        read -r t p < <(measure "$@")
        printf "  %-10s run %d: %6.2f s, %7.1f MiB\n" "$name" "$((i + 1))" "$t" "$(awk -v p="$p" 'BEGIN {print p / 1024}')"
        if [[ -z $time ]] || awk -v a="$t" -v b="$time" 'BEGIN {exit !(a < b)}'; then time=$t; fi
        ((p > peak)) && peak=$p
    done
    printf "%-10s shown after %6.2f s   peak %7.1f MiB\n" "$name" "$time" "$(awk -v p="$peak" 'BEGIN {print p / 1024}')"
    echo "$time $peak" >"$work/$name"
}

best spurwerk "$build/spurwerk" --simulate "$work/capture.sr"
if command -v pulseview >/dev/null; then
    best pulseview pulseview -i "$work/capture.sr"
    read -r st sp <"$work/spurwerk"
    read -r pt pp <"$work/pulseview"
    awk -v st="$st" -v pt="$pt" -v sp="$sp" -v pp="$pp" \
        'BEGIN {printf "ratio spurwerk/pulseview: time %.2f, peak memory %.2f\n", st / pt, sp / pp}'
else
    echo "pulseview not installed: no comparison"
fi
