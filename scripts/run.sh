#!/usr/bin/env bash
# Sets up, builds and starts Spurwerk. Arguments go to the program
# (for example --simulate to use the simulated port and boards).
# The program runs in the caller's directory: its settings file, the
# settings backups and NONAME.DIG land there, not in the source tree.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
(cd "$root" && scripts/setup.sh)
exec "$root/build/spurwerk" "$@"
