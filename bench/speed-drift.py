#!/usr/bin/python3
"""How far a speed change moves events from their ideal times.

Generates a format-1 file whose tracks all end on the same tick (a dense controller sweep, a
pitch-bend track, drums, a bass line, sparse pads and triplets), converts it with korvane at each
speed and reads both files back with mido. An event at input time T should play at T * 100 / P
output ticks; the table gives, per speed, the worst event early and late, and the track ends'
deviation and spread; then each track's end deviation. A track with more events than output
ticks cannot end on time: a non-zero delta keeps at least one tick.
Usage: bench/speed-drift.py KORVANE [PERCENT...]   (default 37 80 150 400)
"""
import os
import random
import subprocess
import sys
import tempfile
from fractions import Fraction

import mido

PPQ = 480
BARS = 64
SONG_TICKS = BARS * 4 * PPQ


def timed_track(events):
    """A track from (absolute tick, message) pairs, closed with End of Track at the song's end."""
    track = mido.MidiTrack()
    now = 0
    for tick, message in sorted(events, key=lambda e: e[0]):
        track.append(message.copy(time=tick - now))
        now = tick
    track.append(mido.MetaMessage("end_of_track", time=SONG_TICKS - now))
    return track


def controller_sweep(rng, channel, control, steps):
    events, tick = [], 0
    while True:
        tick += rng.choice(steps)
        if tick >= SONG_TICKS:
            return events
        value = rng.randint(0, 127)
        events.append((tick, mido.Message("control_change", channel=channel, control=control,
                                          value=value)))


def pitch_bursts(rng, channel):
    events, tick = [], 0
    while tick < SONG_TICKS - PPQ:
        for _ in range(rng.randint(20, 60)):  # a bend drawn tick by tick, then a rest
            tick += rng.randint(1, 4)
            events.append((tick, mido.Message("pitchwheel", channel=channel,
                                              pitch=rng.randint(-8192, 8191))))
        tick += rng.choice([PPQ, 2 * PPQ, 3 * PPQ])
    return [e for e in events if e[0] < SONG_TICKS]


def notes(rng, channel, keys, step, length, chord=1):
    events = []
    for start in range(0, SONG_TICKS, step):
        for key in rng.sample(keys, chord):  # struck together: zero deltas between them
            events.append((start, mido.Message("note_on", channel=channel, note=key,
                                               velocity=rng.randint(40, 120))))
            events.append((start + length, mido.Message("note_off", channel=channel, note=key)))
    return events


def song(path):
    rng = random.Random(20261207)
    tempo = timed_track([(0, mido.MetaMessage("set_tempo", tempo=500000)),
                         (0, mido.MetaMessage("time_signature", numerator=4, denominator=4))])
    tracks = [
        tempo,
        timed_track(controller_sweep(rng, 0, 1, [1, 1, 2, 3, 5, 7])),
        timed_track(controller_sweep(rng, 1, 11, [3, 5, 10, 17])),
        timed_track(pitch_bursts(rng, 2)),
        timed_track(notes(rng, 9, [35, 36, 38, 42, 46, 49, 51], PPQ // 4, 30, chord=3)),
        timed_track(notes(rng, 3, list(range(28, 52)), PPQ // 2, PPQ // 2 - 7)),
        timed_track(notes(rng, 4, list(range(48, 72)), 4 * PPQ, 4 * PPQ - 1, chord=4)),
        timed_track(notes(rng, 5, list(range(60, 84)), PPQ // 3, PPQ // 3 - 11)),
    ]
    mido.MidiFile(type=1, ticks_per_beat=PPQ, tracks=tracks).save(path)


def times(path):
    """Per track: (absolute tick, message) for every message, End of Track included."""
    result = []
    for track in mido.MidiFile(path).tracks:
        now, timed = 0, []
        for message in track:
            now += message.time
            timed.append((now, message.copy(time=0)))
        result.append(timed)
    return result


def drift(original, converted, percent):
    early = late = Fraction(0)
    ends = []
    for track_in, track_out in zip(original, converted, strict=True):
        if len(track_in) != len(track_out):
            raise SystemExit("converted track has a different number of events")
        for (t, a), (u, b) in zip(track_in, track_out):
            if a != b:
                raise SystemExit(f"converted event differs: {a} / {b}")
            deviation = u - Fraction(t * 100, percent)
            early, late = min(early, deviation), max(late, deviation)
        ends.append(track_out[-1][0] - Fraction(track_in[-1][0] * 100, percent))
    return early, late, ends


def main():
    korvane = sys.argv[1]
    percents = [int(p) for p in sys.argv[2:]] or [37, 80, 150, 400]
    print("| Speed | Worst event early | Worst event late | Worst track end | "
          "Track ends spread | Events |")
    print("|---|---|---|---|---|---|")
    track_ends = []
    with tempfile.TemporaryDirectory() as work:
        source = os.path.join(work, "tracks.mid")
        song(source)
        original = times(source)
        env = dict(os.environ, XDG_CONFIG_HOME=work)
        env.pop("DISPLAY", None)
        for percent in percents:
            out = os.path.join(work, f"tracks{percent}.mid")
            subprocess.run([korvane, f"--speed={percent}", f"--output={out}", source], check=True,
                           env=env)
            early, late, ends = drift(original, times(out), percent)
            worst_end = max(ends, key=abs)
            print(f"| {percent} % | {float(-early):.2f} | {float(late):.2f} | "
                  f"{float(worst_end):+.2f} | {float(max(ends) - min(ends)):.2f} | "
                  f"{sum(len(t) for t in original)} |")
            track_ends.append((percent, ends))
    print("\nTrack end deviation by track (ticks):")
    for percent, ends in track_ends:
        print(f"{percent:4} %: " + " ".join(f"{float(e):+.2f}" for e in ends))


if __name__ == "__main__":
    main()
