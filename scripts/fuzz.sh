#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UBSan into
# ./build-fuzz (apart from the normal build) and runs each one in turn.
#   scripts/fuzz.sh [seconds per target, default 600]
# The seed corpora are written by the build into build-fuzz/corpus; findings
# land in build-fuzz/findings. Runs at the lowest priority, one job at a time.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}

packages=(clang libclang-rt-dev qt6-base-dev cmake)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
fi

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DSPURWERK_BUILD_FUZZ=ON -DSPURWERK_BUILD_TESTS=OFF -DSPURWERK_BUILD_BENCH=OFF >/dev/null
nice -n 19 cmake --build build-fuzz --target fuzz_ini_registry fuzz_recording_file -j2

cd build-fuzz
mkdir -p findings work/ini work/dig
export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/../fuzz/lsan.supp
# No fill of fresh blocks and a smaller quarantine: Qt's text drawing
# allocates much, and filling and holding those blocks cost more than the
# code under test; use-after-free is still found within the quarantine.
export ASAN_OPTIONS=${ASAN_OPTIONS:-max_malloc_fill_size=0:quarantine_size_mb=16}
# The processor time beside the wall time: on a shared machine executions per
# processor second say more about the targets than libFuzzer's exec/s.
TIMEFORMAT='== %R s wall, %U s user, %S s system'
run() {
  local target=$1 corpus=$2
  shift 2
  echo "== $target: $seconds s, load $(cut -d' ' -f1-3 /proc/loadavg)"
  time nice -n 19 "./$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix=findings/ -print_final_stats=1 "$@" "work/$corpus" "corpus/$corpus"
}
run fuzz_ini_registry ini -max_len=8192
run fuzz_recording_file dig -max_len=70000
