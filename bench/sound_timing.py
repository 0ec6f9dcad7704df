#!/usr/bin/env python3
"""Finds where each sound of a known sequence starts in a recording, and the holes inside them.

    bench/sound_timing.py RECORDING.wav SOUND.wav [SOUND.wav | / ...]

RECORDING is what a sink played (float or 16-bit WAV, one channel, as
../shared/tools/desktop-sound.sh writes it); the SOUNDs are the files played, in order (16-bit
mono, at the recording's rate). The programs play each file as it is, so the recording holds
each sound sample for sample, times one gain: a sound is found by matching its samples exactly,
not by guessing at its attack.

Prints one line per sound: where it starts, how far that is from the first start plus the
lengths of the sounds before it ("late"), the silence or overlap before it ("gap") and the holes
in it (10 ms windows that differ from the sound, as a stream that ran dry or was held leaves
them). A "/" among the SOUNDs starts a new run (a later start-up, the next key presses),
timed from its own first sound. A silent sound (a rest) is taken as starting on time.
The last line sums them up: the largest |late|, the largest |gap| and the holes.
Exit status 0 when every sound was found, 1 otherwise.
"""

import struct
import sys

WINDOW = 441  # 10 ms at 44.1 kHz: the grain of a hole
SEARCH_BEFORE = 0.05  # s before the previous sound's end where a start is looked for
SEARCH_AFTER = 0.5  # s after it


def read_wav(path):
    """Samples of the first channel as floats in [-1, 1), and the rate."""
    data = open(path, "rb").read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise SystemExit(f"{path}: not a WAV file")
    pos, fmt, samples = 12, None, None
    while pos + 8 <= len(data):
        cid, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        body = pos + 8
        if cid == b"fmt ":
            tag, channels, rate = struct.unpack_from("<HHI", data, body)
            bits = struct.unpack_from("<H", data, body + 14)[0]
            if tag == 0xFFFE:
                tag = struct.unpack_from("<H", data, body + 24)[0]
            fmt = (tag, channels, rate, bits)
        elif cid == b"data":
            # A recorder stopped by a signal may leave the size unwritten: take what is there.
            end = len(data) if size in (0, 0xFFFFFFFF) or body + size > len(data) else body + size
            samples = data[body:end]
            break
        pos = body + size + (size & 1)
    if fmt is None or samples is None:
        raise SystemExit(f"{path}: no fmt or data chunk")
    tag, channels, rate, bits = fmt
    if tag == 3 and bits == 32:
        values = struct.unpack(f"<{len(samples) // 4}f", samples[: len(samples) // 4 * 4])
    elif tag == 1 and bits == 16:
        values = [v / 32768.0 for v in struct.unpack(f"<{len(samples) // 2}h",
                                                     samples[: len(samples) // 2 * 2])]
    else:
        raise SystemExit(f"{path}: format {tag}/{bits} bits not read here")
    return list(values[::channels]), rate


def first_sound(rec, threshold=1e-4):
    for i, v in enumerate(rec):
        if abs(v) > threshold:
            return i
    return None


def loudest_early(ref, span=256):
    """Index of the largest sample near the start: the anchor of the exact match."""
    best = 0
    for i in range(min(span, len(ref))):
        if abs(ref[i]) > abs(ref[best]):
            best = i
    return best


def match_error(rec, at, ref, gain, count):
    err = ref_energy = 0.0
    for i in range(min(count, len(ref), len(rec) - at)):
        d = rec[at + i] - gain * ref[i]
        err += d * d
        ref_energy += (gain * ref[i]) ** 2
    return err / ref_energy if ref_energy > 0 else float("inf")


def find_start(rec, ref, gain, lo, hi, tail=None):
    """The start in [lo, hi) where rec holds gain * ref exactly (allowing for a tail of the
    sound before, which tail(i) gives); None when there is none."""
    anchor = loudest_early(ref)
    want = gain * ref[anchor]
    tol = max(abs(want) * 0.02, 2e-4)
    best, best_err = None, 0.05
    for at in range(max(lo, 0), min(hi, len(rec) - anchor)):
        v = rec[at + anchor] - (tail(at + anchor) if tail else 0.0)
        if abs(v - want) > tol:
            continue
        err = match_error(rec, at, ref, gain, 512)
        if err < best_err:
            best, best_err = at, err
    return best


def holes(rec, at, ref, gain, length):
    """Runs of 10 ms windows within length where the recording is not the sound."""
    found, run = [], None
    for w in range(0, length - WINDOW + 1, WINDOW):
        err = sig = 0.0
        for i in range(w, w + WINDOW):
            if at + i >= len(rec):
                break
            want = gain * ref[i]
            d = rec[at + i] - want
            err += d * d
            sig += want * want
        bad = sig > 1e-8 and err > 0.25 * sig
        if bad and run is None:
            run = w
        if not bad and run is not None:
            found.append((run, w - run))
            run = None
    if run is not None:
        found.append((run, length - run))
    return found


def silent(ref):
    return all(abs(v) < 1e-4 for v in ref)


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    rec, rate = read_wav(argv[1])
    refs, cache = [], {}
    for path in argv[2:]:
        if path == "/":
            refs.append((path, None))
            continue
        if path not in cache:
            ref, ref_rate = read_wav(path)
            if ref_rate != rate:
                raise SystemExit(f"{path}: {ref_rate} Hz, the recording is {rate} Hz")
            cache[path] = ref
        refs.append((path, cache[path]))
    onset = first_sound(rec)
    if onset is None:
        print("nothing was heard")
        return 1
    first = refs[0][1]
    anchor = loudest_early(first)
    # The gain of the whole path, from the first sound's loudest early sample.
    gain = None
    for at in range(max(onset - 64, 0), onset + 4096):
        g = rec[at + anchor] / first[anchor] if first[anchor] else 0
        if g and match_error(rec, at, first, g, 512) < 1e-3:
            gain = g
            break
    if gain is None:
        print("the first sound was not found")
        return 1

    ms = 1000.0 / rate
    worst_late, worst_gap, all_holes, missing, counted = 0.0, 0.0, 0, 0, 0
    expected = None  # where the sound should start: its run's first start + the lengths before
    prev = None  # (start, ref) of the last sound found
    searched_from = 0
    for k, (path, ref) in enumerate(refs):
        if ref is None:  # a new run: timed from its own first sound
            print("/")
            expected, searched_from = None, (prev[0] + len(prev[1]) if prev else 0)
            continue
        counted += 1
        name = "/".join(path.split("/")[-2:])
        if expected is None:
            at = find_start(rec, ref, gain, searched_from, len(rec))
            if at is not None:
                expected = at
        elif silent(ref):
            at = expected  # a rest cannot be told from silence: taken as on time
        else:
            p_start, p_ref = prev
            p_end = p_start + len(p_ref)
            tail = (lambda i, s=p_start, r=p_ref:
                    gain * r[i - s] if 0 <= i - s < len(r) else 0.0)
            at = find_start(rec, ref, gain, p_end - int(SEARCH_BEFORE * rate),
                            p_end + int(SEARCH_AFTER * rate), tail)
        if at is None:
            print(f"{k:4d} {name:18s} not found")
            missing += 1
            if expected is not None:
                expected += len(ref)
            continue
        late = (at - expected) * ms
        gap = (at - (prev[0] + len(prev[1]))) * ms if prev and expected != at else 0.0
        found = [] if silent(ref) else holes(rec, at, ref, gain, len(ref))
        all_holes += len(found)
        worst_late = max(worst_late, abs(late))
        worst_gap = max(worst_gap, abs(gap))
        text = " ".join(f"{s * ms:.0f}+{n * ms:.0f}ms" for s, n in found)
        print(f"{k:4d} {name:18s} at {at * ms:9.1f} ms  late {late:7.2f} ms  gap {gap:7.2f} ms"
              + (f"  holes {text}" if found else ""))
        prev = (at, ref)
        expected += len(ref)
    print(f"sounds {counted}  found {counted - missing}  largest |late| {worst_late:.2f} ms"
          f"  largest |gap| {worst_gap:.2f} ms  holes {all_holes}  gain {gain:.4f}")
    return 0 if missing == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
