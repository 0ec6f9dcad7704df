#!/usr/bin/env bash
# Takes the README's screenshots of Chimelab's pages from the built program, under a virtual
# display (no window manager, so no frames). Needs the dev build (scripts/test.sh makes it).
#   scripts/screenshots.sh [output folder]     default: docs/screenshots
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs/screenshots}")"
mkdir -p "$out"
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s '-screen 0 1024x768x24' "$0" "$out"
fi
export ALSOFT_DRIVERS="${ALSOFT_DRIVERS:-null}"
cd build/KW-27
./Chimelab &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
window=""
for _ in $(seq 1 100); do
    window="$(xdotool search --onlyvisible --name 'KW-27' 2>/dev/null | head -n 1 || true)"
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { echo "screenshots: Chimelab's window did not appear" >&2; exit 1; }
sleep 1

# Tab centres in the window, left to right.
pages=(pipe-length:44 pitch:114 simulation:189 sheet:284 composition:372)
for page in "${pages[@]}"; do
    name="${page%%:*}"
    x="${page##*:}"
    xdotool mousemove --window "$window" "$x" 31 click 1
    xdotool mousemove 0 0
    sleep 0.7
    import-im6.q16 -window "$window" "$out/chimelab-$name.png"
    echo "$out/chimelab-$name.png"
done
