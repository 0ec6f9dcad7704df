#!/bin/sh
# Clock ticks (utime + stime of /proc/PID/stat) that an idle program spends in 10 s, on a
# real-time OpenAL driver, after it has settled (Chimelab's start-up scale has played).
#   bench/idle_ticks.sh build/KW-27 [settle seconds] [runs]
set -eu
folder=${1:?folder of the programs}
settle=${2:-15}
runs=${3:-3}
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" ALSOFT_DRIVERS="${ALSOFT_DRIVERS:-null}"
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
cd "$folder"
for program in Chimelab Triplay; do
    run=1
    while [ "$run" -le "$runs" ]; do
        "./$program" >/dev/null 2>&1 &
        pid=$!
        sleep "$settle"
        before=$(ticks "$pid")
        sleep 10
        after=$(ticks "$pid")
        kill "$pid"
        wait "$pid" 2>/dev/null || true
        echo "$program run $run: $((after - before)) ticks in 10 s idle"
        run=$((run + 1))
    done
done
