#!/usr/bin/env python3
"""Checks that a recording of the sound output (raw 44100 Hz stereo signed
16-bit little-endian) begins with a clip: the first sound heard must be the
clip's own samples, in order, give or take the sound server's rounding.

A sound server on a busy machine can run dry. It then plays silent frames,
and may drop as many of the frames written late, so that the recording
holds the clip with silent gaps and with stretches missing. Those are the
server's doing, not the game's: the check takes the heard frames stretch by
stretch (silent frames between them counted and left out) and finds each
stretch in the clip, in order, at most MAX_SKIP frames after the last one.
Every heard sample must still be the clip's. The clips we check hold no
silent frame near their start, so a gap is never mistaken for the clip's
own silence.

  sound_check.py RECORDING.raw CLIP.ogg
"""
import os
import struct
import subprocess
import sys
import tempfile

COMPARED = 1024  # interleaved samples: one mixer block, before anything else can join
TOLERANCE = 8  # the server's volume stage may round a sample by a step or two
MAX_SKIP = 4410  # frames (0.1 s) the server may drop at a time


def samples(path):
    data = open(path, "rb").read()
    count = len(data) // 2
    return struct.unpack("<%dh" % count, data[:count * 2])


def first_sound(values):
    start = next((i for i, s in enumerate(values) if s != 0), None)
    return None if start is None else start - start % 2


def stretches(recording, start, wanted):
    """The first `wanted` heard samples from `start` on, as (position,
    samples) stretches split at silent frames, and the count of silent
    frames between them."""
    found, current, gap_frames = [], [], 0
    total = 0
    i = start
    while total < wanted and i + 1 < len(recording):
        if recording[i] == 0 and recording[i + 1] == 0:
            if current:
                found.append(current)
                current = []
            gap_frames += 1
        else:
            current += recording[i:i + 2]
            total += 2
        i += 2
    if current:
        found.append(current)
    return found, total, gap_frames


def matches(heard, clip, at):
    part = clip[at:at + len(heard)]
    return len(part) == len(heard) and all(abs(a - b) <= TOLERANCE for a, b in zip(heard, part))


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    recording = samples(sys.argv[1])
    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "clip.raw")
        subprocess.run(["oggdec", "-Q", "-R", "-b", "16", "-e", "0", "-s", "1", "-o", raw,
                        sys.argv[2]], check=True)
        clip = samples(raw)
    start = first_sound(recording)
    if start is None:
        print("the recording (%.1f s) is silent" % (len(recording) / 88200))
        sys.exit(1)
    clip_start = first_sound(clip)
    opening = clip[clip_start:clip_start + 2 * (MAX_SKIP + COMPARED)]
    if any(opening[i] == 0 and opening[i + 1] == 0 for i in range(0, len(opening) - 1, 2)):
        print("the clip holds a silent frame near its start: gaps can't be told apart")
        sys.exit(1)
    loudest = max(abs(s) for s in clip[clip_start:clip_start + COMPARED])
    print("first sound at %.2f s (clip peak %d)" % (start / 88200, loudest))

    heard, total, gap_frames = stretches(recording, start, COMPARED)
    position = clip_start  # where the next stretch may begin, in samples
    skipped = 0
    for number, stretch in enumerate(heard):
        at = next((position + 2 * k for k in range(MAX_SKIP + 1)
                   if matches(stretch, clip, position + 2 * k)), None)
        if at is None:
            part = clip[position:position + len(stretch)]
            worst = max((abs(a - b) for a, b in zip(stretch, part)), default=0)
            print("stretch %d of %d (%d frames) is not the clip's; largest difference %d"
                  % (number + 1, len(heard), len(stretch) // 2, worst))
            print("heard: %s" % " ".join(str(v) for v in stretch[:16]))
            print("clip:  %s" % " ".join(str(v) for v in part[:16]))
            sys.exit(1)
        skipped += (at - position) // 2
        position = at + len(stretch)
    if gap_frames or skipped:
        print("the sound server ran dry: %d silent frames heard, %d clip frames dropped"
              % (gap_frames, skipped))
    good = total == COMPARED and loudest > 100
    print("the first %d samples heard are the clip's" % total if good
          else "only %d samples heard" % total)
    sys.exit(0 if good else 1)


if __name__ == "__main__":
    main()
