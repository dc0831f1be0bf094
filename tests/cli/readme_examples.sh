#!/usr/bin/env bash
# Runs every command of the README's command-line section that needs no real
# hardware, with the program just built, in a scratch folder beside the example
# recording. Each must succeed; each decode must print the annotations
# sigrok-cli prints for the same decoder set-up (as sets: spurwerk orders them
# by time, sigrok-cli as the decoder emits them). The example recording must be
# what scripts/make-example.py writes.
#
#   readme_examples.sh SPURWERK SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 "$src/scripts/make-example.py" "$work/fresh.sr"
cmp "$work/fresh.sr" "$src/examples/i2c-uart.sr" || {
    echo "examples/i2c-uart.sr differs from what scripts/make-example.py writes"; exit 1; }

mkdir "$work/run"
ln -s "$src/examples" "$work/run/examples"
cd "$work/run"
commands=$(sed -n '/^## The command line/,/^## /p' "$src/README.md" | grep '^spurwerk ' |
    grep -v 'fx2lafw' || true)
[ -n "$commands" ] || { echo "the README's command-line section has no commands"; exit 1; }
decodes=0
while read -r -a words; do
    echo "+ ${words[*]}"
    "$bin" "${words[@]:1}" < /dev/null > out.txt
    if [ "${words[1]}" = decode ]; then
        sigrok-cli -i "${words[2]}" "${words[@]:3}" < /dev/null > theirs.txt
        [ -s out.txt ] || { echo "no annotations"; exit 1; }
        diff <(sort out.txt) <(sort theirs.txt)
        # The UART example must read the text the recording carries.
        if [[ "${words[*]}" == *rx-data* ]]; then
            text=$(sed -n 's/^uart-1: //p' out.txt | tr -d '\n')
            [ "$text" = "Hallo Spurwerk!" ] || { echo "UART text: '$text'"; exit 1; }
        fi
        decodes=$((decodes + 1))
    fi
done <<< "$commands"
[ "$decodes" -gt 0 ] || { echo "the README shows no decode example"; exit 1; }
