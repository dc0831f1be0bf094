#!/usr/bin/env bash
# spurwerk decode against sigrok-cli -P on the very same session files, in one
# run: wall time and peak memory (maximum resident set) of the whole process.
# Inputs: UART (115200 Bd on D0) and I2C (100 kHz, SCL D0, SDA D1) at 1 MHz,
# 1 Mi and 64 Mi samples, made here from a repeated pattern.
#
#   bench/decode_vs_sigrok_cli.sh BUILD_DIR [SIZES]   (SIZES default: "1 64", in Mi)
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
sizes=${2:-"1 64"}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Raw samples, one byte each: a pattern of complete frames, repeated.
make_raw() { # kind mebisamples file
    python3 - "$1" "$2" "$3" <<'PY'
import sys
kind, mi, path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
rate = 1_000_000
levels = []
def hold(bits, n):
    levels.extend([bits] * n)
if kind == "uart":
    baud = 115200
    hold(1, 100)
    for k in range(64):
        byte = 32 + (k * 37) % 95
        frame = [0] + [(byte >> i) & 1 for i in range(8)] + [1]
        start = len(levels)
        for i, bit in enumerate(frame):
            hold(bit, start + round((i + 1) * rate / baud) - len(levels))
        hold(1, 20)
else:  # i2c: bit 0 SCL, bit 1 SDA, 10 samples per bit
    def line(scl, sda, n):
        hold(scl | sda << 1, n)
    def byte(value, ack):
        for i in range(8):
            b = (value >> (7 - i)) & 1
            line(0, b, 3); line(1, b, 5); line(0, b, 2)
        line(0, 0 if ack else 1, 3); line(1, 0 if ack else 1, 5); line(0, 0, 2)
    line(1, 1, 20)
    for k in range(16):
        line(1, 0, 5); line(0, 0, 5)          # start
        byte(0x50 << 1, True)
        for d in range(4):
            byte((k * 16 + d * 7) & 0xFF, True)
        line(0, 0, 5); line(1, 0, 5); line(1, 1, 20)  # stop
pattern = bytes(levels)  # two channels: one byte per sample
total = mi * 1024 * 1024
with open(path, "wb") as f:
    whole = (pattern * (total // len(pattern) + 1))[:total]
    f.write(whole)
PY
}

run() { # label command...
    /usr/bin/time -f "%e %M" -o "$work/time" "${@:2}" > "$work/out" 2> "$work/err" || {
        echo "$1 failed:"; cat "$work/err"; return 1; }
    read -r wall rss < "$work/time"
    lines=$(wc -l < "$work/out")
    printf "%-12s %9.2f s %9.1f MiB %10d lines\n" "$1" "$wall" "$(echo "$rss/1024" | bc -l)" "$lines"
    last_wall=$wall last_rss=$rss
}

# Ours against theirs: time and peak as a factor (below 1: ours less).
ratio() { # their_wall their_rss our_wall our_rss
    printf "%-12s %9.2fx  %9.2fx\n" "ratio" "$(echo "$3/$1" | bc -l)" "$(echo "$4/$2" | bc -l)"
}

for mi in $sizes; do
    for kind in uart i2c; do
        make_raw "$kind" "$mi" "$work/$kind.raw"
        sigrok-cli -I binary:numchannels=2:samplerate=1000000 -i "$work/$kind.raw" \
            -o "$work/$kind.sr" 2>/dev/null
        rm -f "$work/$kind.raw"
        if [[ $kind == uart ]]; then
            ours=(-P uart:rx=0:baudrate=115200) theirs=(-P uart:rx=0:baudrate=115200)
        else
            ours=(-P i2c:scl=0:sda=1) theirs=(-P i2c:scl=0:sda=1)
        fi
        echo "== $kind, $mi Mi samples at 1 MHz ($(du -h "$work/$kind.sr" | cut -f1) .sr)"
        run sigrok-cli sigrok-cli -i "$work/$kind.sr" "${theirs[@]}"
        their_wall=$last_wall their_rss=$last_rss
        run spurwerk "$build/spurwerk" decode "$work/$kind.sr" "${ours[@]}"
        ratio "$their_wall" "$their_rss" "$last_wall" "$last_rss"
        rm -f "$work/$kind.sr"
    done
done
