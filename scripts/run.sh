#!/usr/bin/env bash
# Sets up, builds and starts Spurwerk. Arguments go to the program
# (for example --simulate to use the simulated port and boards).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
exec build/spurwerk "$@"
