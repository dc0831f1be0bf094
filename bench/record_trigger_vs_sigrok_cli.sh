#!/usr/bin/env bash
# spurwerk record with a trigger and its pre-trigger share against sigrok-cli
# given the same trigger, count and rate on the same demo device, in the same
# run: wall time and peak memory (maximum resident set) of the whole process,
# the samples each delivered, and the ratios.
#
# libsigrok 0.5.2's demo driver ends a triggered capture after the block the
# trigger fired in (about 2,000 samples, whatever --samples says), so
# sigrok-cli's triggered run does far less work than asked and is no fair
# peer. The fair peer is sigrok-cli recording the full count without a
# trigger: the same device, rate and number of samples written, which is the
# work spurwerk does once its trigger fired. Its ratio comes first; the one
# against the triggered run follows for the record.
#
#   bench/record_trigger_vs_sigrok_cli.sh BUILD_DIR [SIZES] [RATE] [TRIGGER] [PRE]
#   SIZES in Mi samples (default "1 16"), RATE default 1G (the demo runs as
#   fast as it can), TRIGGER default D3=r, PRE default 10%.
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
sizes=${2:-"1 16"}
rate=${3:-1G}
trigger=${4:-D3=r}
pre=${5:-10%}
demo=demo:logic_channels=16:analog_channels=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$(dirname "$0")/timed_run.sh"
run() { timed_run "$@"; }

show() { # label samples
    printf "  %-34s %9.2f s %9.1f MiB %12s samples\n" "$1" "$last_wall" \
        "$(echo "$last_rss/1024" | bc -l)" "$2"
}

for mi in $sizes; do
    n=$((mi * 1024 * 1024))
    echo "== $mi Mi samples of 16 lines at $rate, trigger $trigger, $pre before it"
    run "spurwerk" "$build/spurwerk" record --simulate --source sigrok:demo --samples "$n" \
        --samplerate "$rate" --triggers "$trigger" --pretrigger "$pre" -o "$work/own.sr"
    own_wall=$last_wall own_rss=$last_rss
    got=$(sigrok-cli -i "$work/own.sr" --show | sed -n 's/.*Logic sample count: //p')
    show "spurwerk record --triggers" "$got"
    grep -o "der Trigger löste bei Abtastwert [0-9]* aus" "$work/err" | sed 's/^/  /' || true

    run "sigrok-cli" sigrok-cli -d "$demo" --config samplerate="$rate" --samples "$n" \
        --triggers "$trigger" --config captureratio="${pre%\%}" -O binary -o "$work/cli.bin"
    show "sigrok-cli --triggers" "$(($(stat -c %s "$work/cli.bin") / 2))"
    trig_wall=$last_wall trig_rss=$last_rss

    run "sigrok-cli" sigrok-cli -d "$demo" --config samplerate="$rate" --samples "$n" \
        -O binary -o "$work/cli.bin"
    show "sigrok-cli, no trigger" "$(($(stat -c %s "$work/cli.bin") / 2))"
    printf "  ratio spurwerk/sigrok-cli, same count without trigger (fair peer): time %.2f, peak memory %.2f\n" \
        "$(echo "$own_wall/$last_wall" | bc -l)" "$(echo "$own_rss/$last_rss" | bc -l)"
    printf "  ratio spurwerk/sigrok-cli --triggers (stops after one block): time %.2f, peak memory %.2f\n" \
        "$(echo "$own_wall/$trig_wall" | bc -l)" "$(echo "$own_rss/$trig_rss" | bc -l)"
    rm -f "$work/own.sr" "$work/cli.bin"
done
