#!/bin/sh
# Clicks at the edges of Triplay's three pipes: records triplay_edges_bench on OpenAL's wave
# driver and gives the level above 20 kHz (where the pipes have no partials) in 512-sample
# windows: the loudest window within 50 ms of the start, of the stop, and the median of the
# windows while the pipes ring.
#   bench/edges.sh build/bench/bin/triplay_edges_bench build/KW-27
set -eu
bench=${1:?triplay_edges_bench}
folder=${2:?folder of Triplay}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '[general]\ndrivers=wave\n[wave]\nfile=%s/out.wav\n' "$work" >"$work/alsoft.conf"
ALSOFT_CONF="$work/alsoft.conf" ALSOFT_DRIVERS=wave "$bench" "$folder"
sox "$work/out.wav" -b 32 -e float -c 1 "$work/high.wav" remix - sinc 20k
rate=$(soxi -r "$work/high.wav")
# The record's first and last non-silent frames of the unfiltered mix are the start and stop.
sox "$work/out.wav" -c 1 -t f32 "$work/mix.raw" remix -
sox "$work/high.wav" -t f32 "$work/high.raw"
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
def worst(centre):
    return max(db(a) for a in range(max(0, centre - rate // 20), centre + rate // 20, 128))
ring = sorted(db(a) for a in range(start + rate // 4, stop - rate // 4, 512))
print('start %.1f dB, ringing %.1f dB (median), stop %.1f dB (above 20 kHz, 512-sample windows)'
      % (worst(start), ring[len(ring) // 2], worst(stop)))
PY
