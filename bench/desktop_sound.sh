#!/bin/sh
# Chimelab on a desktop sound server, as a pupil meets it: RUNS start-ups (the scale, then the
# quit button pressed), then the tune benchmark (KEYS key presses in a row, a LINES-line tune
# played with 再 生), each recorded through ../shared/tools/desktop-sound.sh (private
# PulseAudio, null sink). For each run: the sounds' timing and holes (bench/sound_timing.py),
# the stream latency samples pactl gave, and the time from the quit press to the process end.
#   bench/desktop_sound.sh build/KW-27 [RUNS] [KEYS] [LINES] [--slow-start]
# QUIT_AFTER sets the seconds between the main window showing and the press (default 1).
# Needs pulseaudio, pulseaudio-utils, xvfb, xdotool (scripts/setup.sh installs them). Under load: run stress-ng --cpu 2 beside it.
set -eu
# One start-up, run inside the recording and the X server: the scale under the splash, then
# the quit button (bottom right of the window) pressed once the main window is up; prints the
# seconds from the press to the process's end.
if [ "${1:-}" = --startup-once ]; then
    ./Chimelab >/dev/null 2>&1 &
    pid=$!
    window=
    for _ in $(seq 300); do
        window=$(xdotool search --onlyvisible --name "設計ソフト KW-27" 2>/dev/null | head -1) || true
        [ -n "$window" ] && break
        sleep 0.1
    done
    sleep "${QUIT_AFTER:-1}"
    pressed=$(date +%s.%N)
    xdotool mousemove --window "$window" 546 390 click 1
    wait "$pid" || true
    echo "quit: $(awk -v a="$pressed" -v b="$(date +%s.%N)" 'BEGIN { printf "%.3f", b - a }') s from the press to the end"
    exit 0
fi
folder=$(cd "${1:?folder of the programs}" && pwd)
runs=${2:-10}
keys=${3:-16}
lines=${4:-120}
slow=${5:-}
here=$(cd "$(dirname "$0")" && pwd)
tool=${DESKTOP_SOUND:-$here/../../shared/tools/desktop-sound.sh}
out=$(mktemp -d)
scale="Data/Data2/C.wav Data/Data2/D.wav Data/Data2/E.wav Data/Data2/F.wav Data/Data2/G.wav
       Data/Data2/A.wav Data/Data2/B.wav Data/Data2/C2.wav"
cd "$folder"
latency() { awk '{ print $2 }' "$1" | sort -n | awk '{ v[NR] = $1 } END {
    if (NR) printf "latency ms: median %d, largest %d (%d samples)\n", v[int((NR + 1) / 2)], v[NR], NR }'; }

run=1
while [ "$run" -le "$runs" ]; do
    echo "== start-up $run"
    "$tool" "$out/startup$run.wav" $slow -- xvfb-run -a -s -noreset "$here/desktop_sound.sh" \
        --startup-once | grep quit || true
    python3 "$here/sound_timing.py" "$out/startup$run.wav" $scale | tail -1
    latency "$out/startup$run.wav.latency"
    run=$((run + 1))
done

echo "== $keys key presses, then a $lines-line tune"
# The benchmark runs from bench/bin: it is given the programs' OpenAL settings by name.
"$tool" "$out/tune.wav" $slow -- env QT_QPA_PLATFORM=offscreen ALSOFT_CONF="$folder/alsoft.conf" \
    "$folder/../bench/bin/tune_bench" "$keys" "$lines" >"$out/order.txt"
python3 "$here/sound_timing.py" "$out/tune.wav" $(cat "$out/order.txt") | grep -v " late  *0.00 ms  gap  *0.00 ms$" || true
latency "$out/tune.wav.latency"
echo "recordings in $out"
