#!/usr/bin/python3
"""Converts files written with mido through korvane's --keep-bars, --channels and --peak and
reads the results back with mido, an independent reader: with --keep-bars every event keeps its
tick, every tempo is scaled and the file plays in 100 / P of the time; with --channels the drum
channel is untouched; with --peak one gain brings the loudest Note On to the target."""
import json
import os
import subprocess
import sys
import tempfile

import mido

from level_map import map_level

KORVANE = sys.argv[1]


def song(first_tempo):
    """Format 1: a tempo map (with or without a tempo at its start) and two note tracks, one of
    them the drums on channel 10."""
    tempo_map = mido.MidiTrack()
    if first_tempo:
        tempo_map.append(mido.MetaMessage("set_tempo", tempo=600000, time=0))
    tempo_map.append(mido.MetaMessage("set_tempo", tempo=450000, time=960))
    tempo_map.append(mido.MetaMessage("set_tempo", tempo=123457, time=480))
    tunes = mido.MidiTrack()
    drums = mido.MidiTrack()
    for i in range(40):
        tunes.append(mido.Message("note_on", channel=i % 3, note=60 + i % 12,
                                  velocity=20 + (i * 7) % 70, time=0 if i == 0 else 97))
        tunes.append(mido.Message("note_off", channel=i % 3, note=60 + i % 12, velocity=64,
                                  time=41))
        drums.append(mido.Message("note_on", channel=9, note=36, velocity=120 - i, time=138))
        drums.append(mido.Message("note_on", channel=9, note=36, velocity=0, time=0))
    tunes.append(mido.Message("control_change", channel=1, control=7, value=90, time=5))
    drums.append(mido.Message("control_change", channel=9, control=7, value=90, time=5))
    f = mido.MidiFile(type=1, ticks_per_beat=480)
    f.tracks.extend([tempo_map, tunes, drums])
    return f


def korvane(args, path, out):
    run = subprocess.run([KORVANE, *args, "--output=" + out, path], capture_output=True,
                         text=True, check=False)
    assert run.returncode == 0, (args, run.stderr)
    return run.stderr


def absolute(track):
    tick = 0
    for message in track:
        tick += message.time
        yield tick, message


def check_keep_bars(folder):
    for first_tempo in (True, False):
        for speed in (80, 150, 33):
            source = os.path.join(folder, "song.mid")
            song(first_tempo).save(source)
            out = os.path.join(folder, "bars.mid")
            korvane(["--keep-bars", "--speed=%d" % speed], source, out)
            before, after = mido.MidiFile(source), mido.MidiFile(out)
            for index, (a, b) in enumerate(zip(before.tracks, after.tracks)):
                old = [(t, m) for t, m in absolute(a) if m.type != "set_tempo"]
                new = [(t, m) for t, m in absolute(b) if m.type != "set_tempo"]
                assert old == new, ("ticks moved", speed, index)
                old_tempi = [(t, (m.tempo * 200 + speed) // (2 * speed))
                             for t, m in absolute(a) if m.type == "set_tempo"]
                if index == 0 and not first_tempo:
                    old_tempi.insert(0, (0, (500000 * 200 + speed) // (2 * speed)))
                new_tempi = [(t, m.tempo) for t, m in absolute(b) if m.type == "set_tempo"]
                assert old_tempi == new_tempi, (speed, old_tempi, new_tempi)
            expected = before.length * 100 / speed
            assert abs(after.length - expected) <= expected * 0.001, (speed, after.length,
                                                                      expected)


def check_channels(folder):
    source = os.path.join(folder, "song.mid")
    song(True).save(source)
    out = os.path.join(folder, "drums.mid")
    korvane(["--channels=1-9,11-16", "--volume=200", "--dynamic-range=800"], source, out)
    before, after = mido.MidiFile(source), mido.MidiFile(out)
    for a, b in zip(before.tracks, after.tracks):
        for m, n in zip(a, b):
            if getattr(m, "channel", None) == 9:
                assert m == n, ("drums changed", m, n)
            elif m.type in ("note_on", "note_off"):
                assert n.velocity == map_level(m.velocity, 800, 200), (m, n)
            elif m.type == "control_change":
                assert n.value == map_level(m.value, 800, 200), (m, n)


def check_peak(folder):
    """Every mapped Note On velocity v becomes round(v * N / loudest) after the range and
    volume mapping, the loudest exactly N; everything else is mapped as without --peak."""
    source = os.path.join(folder, "song.mid")
    song(True).save(source)
    notes = [m.velocity for m in mido.MidiFile(source).tracks[1] if m.type == "note_on"]
    for target, dynamic_range, volume in ((127, 500, 500), (100, 500, 500), (64, 900, 300),
                                          (3, 200, 700)):
        out = os.path.join(folder, "peak.mid")
        report = os.path.join(folder, "report.jsonl")
        printed = korvane(["--peak=%d" % target, "--channels=1-9,11-16",
                           "--dynamic-range=%d" % dynamic_range, "--volume=%d" % volume,
                           "--report=" + report], source, out)
        loudest = map_level(max(notes), dynamic_range, volume)
        with open(report, encoding="utf-8") as lines:
            lines.readline()  # the run's settings
            gain = json.loads(lines.readline())["gain"]
        assert gain == round(target / loudest, 4), (gain, target, loudest)
        assert float(printed.strip().rsplit(": gain ", 1)[1]) == gain, printed
        written = mido.MidiFile(out)
        for m, n in zip(mido.MidiFile(source).tracks[1], written.tracks[1]):
            if m.type == "note_on":
                mapped = map_level(m.velocity, dynamic_range, volume)
                want = min(127, max(1, (2 * mapped * target + loudest) // (2 * loudest)))
                assert n.velocity == want, (m, n, want)
            elif m.type == "note_off":
                assert n.velocity == map_level(m.velocity, dynamic_range, volume), (m, n)
        tunes = [m.velocity for m in written.tracks[1] if m.type == "note_on"]
        assert max(tunes) == target, (target, max(tunes))
        if target == 127 and volume == 500 and dynamic_range == 500:
            assert len(set(tunes)) == len(set(notes)), "a gain above 1 keeps every velocity apart"
        drums = [m for m in written.tracks[2] if m.type == "note_on"]
        assert drums == [m for m in mido.MidiFile(source).tracks[2] if m.type == "note_on"]


with tempfile.TemporaryDirectory() as work:
    check_keep_bars(work)
    check_channels(work)
    check_peak(work)
print("keep-bars, channels and peak read back with mido")
