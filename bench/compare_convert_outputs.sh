#!/usr/bin/env bash
# Compares what two builds of `spurwerk convert` write for the same inputs:
# every pair of .DIG, .sr, .vcd and .csv at 1,048,576 samples of 16 lines
# (a 16-bit counter), and a short recording of 1,000 samples. The outputs must
# be the same byte for byte, except the moment of writing that the text
# formats carry ($date in a VCD, "; from ... on DATE" in a CSV) and the file
# times inside a session file (its members are compared one by one).
#
#   bench/compare_convert_outputs.sh OLD_SPURWERK NEW_SPURWERK
#
# Needs sigrok-cli (to make the first session file) and unzip.
set -euo pipefail
old=${1:?usage: $0 OLD_SPURWERK NEW_SPURWERK}
new=${2:?usage: $0 OLD_SPURWERK NEW_SPURWERK}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

same() { # same FILE_A FILE_B
    case $1 in
    *.sr)
        local list_a list_b member
        list_a=$(unzip -Z1 "$1" | sort)
        list_b=$(unzip -Z1 "$2" | sort)
        [[ $list_a == "$list_b" ]] || return 1
        for member in $list_a; do
            cmp -s <(unzip -p "$1" "$member") <(unzip -p "$2" "$member") || return 1
        done
        ;;
    *.vcd) cmp -s <(grep -v '^\$date ' "$1") <(grep -v '^\$date ' "$2") ;;
    *.csv) cmp -s <(grep -v '^; from ' "$1") <(grep -v '^; from ' "$2") ;;
    *) cmp -s "$1" "$2" ;;
    esac
}

failed=0
for samples in 1048576 1000; do
    dir=$work/$samples
    mkdir -p "$dir"
    python3 -c "
import struct, sys
sys.stdout.buffer.write(b''.join(struct.pack('<H', i & 0xFFFF) for i in range($samples)))" \
        >"$dir/counter.bin"
    sigrok-cli -I binary:numchannels=16:samplerate=100000 -i "$dir/counter.bin" -o "$dir/in.sr"
    "$old" convert "$dir/in.sr" "$dir/in.DIG"
    "$old" convert "$dir/in.sr" "$dir/in.vcd"
    "$old" convert "$dir/in.sr" "$dir/in.csv"
    for from in DIG sr vcd csv; do
        for to in DIG sr vcd csv; do
            [[ $from == "$to" ]] && continue
            "$old" convert "$dir/in.$from" "$dir/old.$from.$to"
            "$new" convert "$dir/in.$from" "$dir/new.$from.$to"
            if same "$dir/old.$from.$to" "$dir/new.$from.$to"; then
                echo "same     $samples samples  $from -> $to"
            else
                echo "DIFFERENT $samples samples  $from -> $to"
                failed=1
            fi
        done
    done
done
exit $failed
