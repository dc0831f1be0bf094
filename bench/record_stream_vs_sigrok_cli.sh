#!/usr/bin/env bash
# spurwerk record streaming a session file against sigrok-cli recording the
# same count from the same demo device in the same run: wall time and peak
# memory (maximum resident set) of the whole process, and their ratio.
#
# sigrok-cli's own .sr writer adds every chunk to its archive by rewriting it,
# which takes a minute for 4 Mi samples already; above CLI_SR_MAX Mi (4) it
# writes raw words (-O binary) instead, its plainest streamed output, and the
# ratio is against that. For every size the streamed file is read back by
# sigrok-cli (--show), and for sizes up to CLI_SR_MAX its samples are compared
# with sigrok-cli's own recording, sample for sample.
#
#   bench/record_stream_vs_sigrok_cli.sh BUILD_DIR [SIZES] [RATE]
#   SIZES in Mi samples (default "4 1024"), RATE default 24M; needs
#   2 x SIZES x 2 MiB free in the temporary folder.
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
sizes=${2:-"4 1024"}
rate=${3:-24M}
cli_sr_max=${CLI_SR_MAX:-4}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$(dirname "$0")/timed_run.sh"
run() { # label command...
    timed_run "$@" || return 1
    printf "  %-28s %9.2f s %9.1f MiB\n" "$1" "$last_wall" "$(echo "$last_rss/1024" | bc -l)"
}

for mi in $sizes; do
    n=$((mi * 1024 * 1024))
    echo "== $mi Mi samples of 16 lines at $rate from the demo device"
    run "spurwerk record -o .sr" "$build/spurwerk" record --simulate --source sigrok:demo \
        --samples "$n" --samplerate "$rate" -o "$work/own.sr"
    own_wall=$last_wall own_rss=$last_rss
    if ((mi <= cli_sr_max)); then
        run "sigrok-cli -o .sr" sigrok-cli -d demo:logic_channels=16:analog_channels=0 \
            --config samplerate="$rate" --samples "$n" -o "$work/cli.sr"
    else
        run "sigrok-cli -O binary" sigrok-cli -d demo:logic_channels=16:analog_channels=0 \
            --config samplerate="$rate" --samples "$n" -O binary -o "$work/cli.bin"
        rm -f "$work/cli.bin"
    fi
    printf "  ratio spurwerk/sigrok-cli: time %.2f, peak memory %.2f\n" \
        "$(echo "$own_wall/$last_wall" | bc -l)" "$(echo "$own_rss/$last_rss" | bc -l)"
    printf "  %s: %s\n" "$(du -h "$work/own.sr" | cut -f1) streamed" \
        "$(sigrok-cli -i "$work/own.sr" --show | grep -E 'sample count|Samplerate' | tr '\n' ' ')"
    if [[ -f $work/cli.sr ]]; then
        if cmp -s <(sigrok-cli -i "$work/own.sr" -O binary) <(sigrok-cli -i "$work/cli.sr" -O binary)
        then echo "  samples equal to sigrok-cli's recording"
        else echo "  SAMPLES DIFFER from sigrok-cli's recording"; fi
    fi
    rm -f "$work/own.sr" "$work/cli.sr"
done
