#!/usr/bin/env python3
"""Checks that a recording of the sound output (raw 44100 Hz stereo signed
16-bit little-endian) begins with a clip: the first sound heard must be the
clip's own samples, give or take the sound server's rounding.

A sound server that runs dry on a busy machine fills the gap with silent
frames. The clips we check never hold a silent frame in their first block,
so silent frames inside the compared stretch are taken out (and counted)
before the comparison.

  sound_check.py RECORDING.raw CLIP.ogg
"""
import os
import struct
import subprocess
import sys
import tempfile

COMPARED = 1024  # interleaved samples: one mixer block, before anything else can join
TOLERANCE = 8  # the server's volume stage may round a sample by a step or two


def samples(path):
    data = open(path, "rb").read()
    count = len(data) // 2
    return struct.unpack("<%dh" % count, data[:count * 2])


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    recording = samples(sys.argv[1])
    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "clip.raw")
        subprocess.run(["oggdec", "-Q", "-R", "-b", "16", "-e", "0", "-s", "1", "-o", raw,
                        sys.argv[2]], check=True)
        clip = samples(raw)
    start = next((i for i, s in enumerate(recording) if s != 0), None)
    if start is None:
        print("the recording (%.1f s) is silent" % (len(recording) / 88200))
        sys.exit(1)
    # Both start on a left sample; the clip may open with silence of its own.
    start -= start % 2
    clip_start = next(i for i, s in enumerate(clip) if s != 0)
    clip_start -= clip_start % 2
    wanted = clip[clip_start:clip_start + COMPARED]
    if any(wanted[i] == 0 and wanted[i + 1] == 0 for i in range(0, len(wanted) - 1, 2)):
        print("the clip holds a silent frame in its first block: gaps can't be told apart")
        sys.exit(1)
    heard = []
    gap_frames = 0
    i = start
    while len(heard) < COMPARED and i + 1 < len(recording):
        if recording[i] == 0 and recording[i + 1] == 0:
            gap_frames += 1
        else:
            heard += recording[i:i + 2]
        i += 2
    worst = max(abs(a - b) for a, b in zip(heard, wanted))
    loudest = max(abs(s) for s in wanted)
    print("first sound at %.2f s; largest difference from the clip %d (clip peak %d)"
          % (start / 88200, worst, loudest))
    if gap_frames:
        print("the sound server ran dry: %d silent frames inside the first block" % gap_frames)
    good = len(heard) == COMPARED and worst <= TOLERANCE and loudest > 100
    if not good:
        print("heard: %s" % " ".join(str(v) for v in heard[:16]))
        print("clip:  %s" % " ".join(str(v) for v in wanted[:16]))
    sys.exit(0 if good else 1)


if __name__ == "__main__":
    main()
