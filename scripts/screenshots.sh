#!/usr/bin/env bash
# Takes the README's screenshots of Chimelab's pages and of Triplay from the built programs,
# under a virtual display (no window manager, so no frames). Needs the dev build
# (scripts/test.sh makes it).
#   scripts/screenshots.sh [output folder]     default: docs/screenshots
# With QT_SCALE_FACTOR set (e.g. 2, for a high-density screen) the display and the click
# positions grow by that factor.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs/screenshots}")"
mkdir -p "$out"
scale="${QT_SCALE_FACTOR:-1}"
# Logical pixels to the display's pixels, rounded.
px() { awk -v v="$1" -v s="$scale" 'BEGIN { printf "%d", v * s + 0.5 }'; }
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 $(px 1024)x$(px 768)x24" "$0" "$out"
fi
export ALSOFT_DRIVERS="${ALSOFT_DRIVERS:-null}"
cd build/KW-27

# Starts a program and waits for its window; sets pid and window.
start() {
    "./$1" &
    pid=$!
    window=""
    for _ in $(seq 1 100); do
        window="$(xdotool search --onlyvisible --name "$2" 2>/dev/null | head -n 1 || true)"
        [ -n "$window" ] && break
        sleep 0.2
    done
    [ -n "$window" ] || { echo "screenshots: $1's window did not appear" >&2; exit 1; }
    sleep 1
}
trap 'kill "$pid" 2>/dev/null || true' EXIT

start Chimelab 'KW-27'

# Tab centres in the window, left to right.
pages=(pipe-length:44 pitch:114 simulation:189 sheet:284 composition:372)
for page in "${pages[@]}"; do
    name="${page%%:*}"
    x="${page##*:}"
    xdotool mousemove --window "$window" "$(px "$x")" "$(px 31)" click 1
    xdotool mousemove 0 0
    sleep 0.7
    import-im6.q16 -window "$window" "$out/chimelab-$name.png"
    echo "$out/chimelab-$name.png"
done
kill "$pid"
wait "$pid" 2>/dev/null || true

start Triplay 'パイプを3本まとめて鳴らす'
import-im6.q16 -window "$window" "$out/triplay.png"
echo "$out/triplay.png"
# Three pipes whose total is more than the material (25cm, レ, ミ: 59.1 cm), then play: each
# chooser's list is opened with a click and the pipe picked from the keyboard.
for chooser in 138:11 206:13 282:14; do
    y="${chooser%%:*}"
    downs="${chooser##*:}"
    xdotool mousemove --window "$window" "$(px 184)" "$(px "$y")" click 1
    sleep 0.3
    xdotool key Home
    for _ in $(seq 1 "$downs"); do xdotool key Down; done
    xdotool key Return
    sleep 0.3
done
xdotool mousemove --window "$window" "$(px 400)" "$(px 252)" click 1
xdotool mousemove 0 0
sleep 0.5
import-im6.q16 -window "$window" "$out/triplay-warning.png"
echo "$out/triplay-warning.png"
