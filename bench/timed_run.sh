# Sourced by the benchmark scripts that time whole processes side by side.
# timed_run LABEL COMMAND...: runs COMMAND with its output dropped and sets
# last_wall (seconds) and last_rss (peak resident KiB); a failure prints LABEL
# and the command's error output. Needs $work, a scratch folder.
timed_run() {
    /usr/bin/time -f "%e %M" -o "$work/time" "${@:2}" > /dev/null 2> "$work/err" || {
        echo "$1 failed:"; cat "$work/err"; return 1; }
    read -r last_wall last_rss < "$work/time"
}
