#!/usr/bin/env python3
"""Writes examples/i2c-uart.sr, the recording the README's decode examples use.

Three lines at 1 MHz: SCL and SDA carry an I2C write of "Spurwerk" to
address 0x50 at 100 kHz, UART carries "Hallo Spurwerk!" at 115200 baud.
The session file is written the way libsigrok writes one (a zip with
version, metadata and logic-1-1), with fixed dates so that the same
script always gives the same bytes.

    scripts/make-example.py [OUTPUT]   (default: examples/i2c-uart.sr)
"""
import sys
import zipfile

RATE = 1_000_000
SCL, SDA, TX = 1, 2, 4


def i2c_levels():
    """SCL/SDA bits per sample: 10 samples per bit (100 kHz)."""
    out = []

    def hold(scl, sda, n):
        out.extend([(SCL if scl else 0) | (SDA if sda else 0)] * n)

    def byte(value):
        for i in range(8):
            b = (value >> (7 - i)) & 1
            hold(0, b, 3)
            hold(1, b, 5)
            hold(0, b, 2)
        hold(0, 0, 3)  # the device acknowledges
        hold(1, 0, 5)
        hold(0, 0, 2)

    hold(1, 1, 60)
    hold(1, 0, 5)  # start
    hold(0, 0, 5)
    byte(0x50 << 1)
    for c in b"Spurwerk":
        byte(c)
    hold(0, 0, 5)  # stop
    hold(1, 0, 5)
    hold(1, 1, 60)
    return out


def uart_levels(count):
    """TX level per sample, idle high, 8N1 at 115200 baud, from sample 40."""
    baud = 115200
    levels = [1] * 40
    for c in b"Hallo Spurwerk!":
        frame = [0] + [(c >> i) & 1 for i in range(8)] + [1]
        start = len(levels)
        for i, bit in enumerate(frame):
            end = start + round((i + 1) * RATE / baud)
            levels.extend([bit] * (end - len(levels)))
        levels.extend([1] * 12)
    return levels + [1] * max(0, count - len(levels))


def samples():
    i2c = i2c_levels()
    uart = uart_levels(len(i2c))
    n = max(len(i2c), len(uart)) + 50
    i2c += [SCL | SDA] * (n - len(i2c))
    uart += [1] * (n - len(uart))
    return bytes(a | (TX if b else 0) for a, b in zip(i2c, uart))


METADATA = """[global]
sigrok version=0.5.2

[device 1]
capturefile=logic-1
total probes=3
samplerate=1 MHz
total analog=0
probe1=SCL
probe2=SDA
probe3=UART
unitsize=1
"""


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "examples/i2c-uart.sr"
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in (("version", b"2"), ("metadata", METADATA.encode()),
                           ("logic-1-1", samples())):
            z.writestr(zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0)), data,
                       compress_type=zipfile.ZIP_DEFLATED)


if __name__ == "__main__":
    main()
