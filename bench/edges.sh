#!/bin/sh
# Clicks at the edges of Triplay's three pipes: records triplay_edges_bench on OpenAL's wave
# driver and gives the level above 20 kHz (where the pipes have no partials) in 512-sample
# windows: the loudest window at the start and at the stop (its fade), and the median and
# loudest windows while the pipes ring (a loop restarting its sound is heard there).
#   bench/edges.sh build/bench/bin/triplay_edges_bench build/KW-27
set -eu
bench=${1:?triplay_edges_bench}
folder=${2:?folder of Triplay}
work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
printf '[general]\ndrivers=wave\n[wave]\nfile=%s/out.wav\n' "$work" >"$work/alsoft.conf"
ALSOFT_CONF="$work/alsoft.conf" ALSOFT_DRIVERS=wave "$bench" "$folder"
# OpenAL Soft 1.19's wave writer loses its header when the device is paused and resumed (the
# sizes are patched in, the rest is zeros): the record is read as what it writes, 32-bit float
# stereo at 44.1 kHz after a 68-byte extensible header.
python3 - "$work/out.wav" "$work/mix.raw" <<'PY'
import sys
b = open(sys.argv[1], 'rb').read()[68:]
open(sys.argv[2], 'wb').write(b[:len(b) // 8 * 8])
PY
rate=44100
sox -t f32 -r $rate -c 2 "$work/mix.raw" -t f32 -c 1 "$work/mono.raw" remix -
sox -t f32 -r $rate -c 1 "$work/mono.raw" -t f32 "$work/high.raw" sinc 20k
mv "$work/mono.raw" "$work/mix.raw"
python3 - "$work/mix.raw" "$work/high.raw" "$rate" <<'PY'
import math, struct, sys
def load(p):
    b = open(p, 'rb').read()
    return struct.unpack('<%df' % (len(b) // 4), b)
mix, high, rate = load(sys.argv[1]), load(sys.argv[2]), int(sys.argv[3])
loud = [i for i, v in enumerate(mix) if abs(v) > 1e-4]
start, stop = loud[0], loud[-1]
def db(a, n=512):
    s = sum(v * v for v in high[a:a + n]) / n
    return 10 * math.log10(s) if s > 0 else -200.0
def worst(begin, end):
    return max(db(a) for a in range(max(0, begin), end, 128))
# A stop's fade lasts one mixing period (at most 2048 frames) and ends on the last sound.
ring = sorted(db(a) for a in range(start + rate // 4, stop - rate // 4, 512))
print('start %.1f dB, ringing %.1f dB median / %.1f dB loudest, stop %.1f dB '
      '(above 20 kHz, 512-sample windows)'
      % (worst(start - 512, start + 2048), ring[len(ring) // 2], ring[-1],
         worst(stop - 2560, stop + 512)))
PY
