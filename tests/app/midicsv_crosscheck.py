#!/usr/bin/python3
"""Converts MIDI files with korvane at several settings and checks the results with midicsv,
an independent reader: velocities mapped, times scaled, Note Offs inserted, the rest unchanged;
and that every track of a file converted at 80 % ends at its ideal time."""
import os
import random
import struct
import subprocess
import sys
import tempfile
from fractions import Fraction

from level_map import map_level

SETTINGS = [  # dynamic range, volume, speed, repair
    (500, 500, 100, False),
    (1000, 500, 50, False),
    (250, 750, 200, True),
    (10, 700, 7, True),
    (700, 0, 333, False),
]
LEVEL_TYPES = {"Note_on_c", "Note_off_c", "Poly_aftertouch_c"}


class TrackClock:
    """Output times of one track: each event at its input time * 100 / p, truncated, at least a
    tick after the event before unless they were together; a delta that a file cannot hold is
    limited and its excess given up."""

    def __init__(self, p):
        self.p = p
        self.input = self.output = self.input_anchor = self.output_anchor = 0

    def time(self, input_time):
        delta = input_time - self.input
        self.input = input_time
        if delta == 0:
            return self.output
        if self.p == 0:
            self.output += 1
            return self.output
        target = self.output_anchor + (input_time - self.input_anchor) * 100 // self.p
        written = max(target, self.output + 1) - self.output
        if written > 0x0FFFFFFF:
            written = 0x0FFFFFFF
            self.input_anchor, self.output_anchor = input_time, self.output + written
        self.output += written
        return self.output


def midicsv(path):
    text = subprocess.run(["midicsv", path], check=True, capture_output=True).stdout
    rows = []
    for line in text.decode("latin-1").splitlines():
        fields = [f.strip() for f in line.split(",", 3)]
        rows.append((int(fields[0]), int(fields[1]), fields[2], fields[3] if len(fields) > 3 else ""))
    return rows


def expected_rows(rows, d, vol, p, repair):
    out = []
    clocks = {}
    held = set()  # channel and key of the notes sounding in the current track
    for track, time, kind, rest in rows:
        if track == 0:
            out.append((track, time, kind, rest))
            continue
        new_time = clocks.setdefault(track, TrackClock(p)).time(time)
        params = rest.split(", ") if rest else []
        if repair and kind == "End_track":
            # Keys still held when the track ends are released at its time, in order.
            out += [(track, new_time, "Note_off_c", f"{c}, {k}, 64") for c, k in sorted(held)]
            held.clear()
        if kind in ("Note_on_c", "Note_off_c"):
            key = (int(params[0]), int(params[1]))
            if kind == "Note_on_c" and params[2] != "0":
                held.add(key)
            else:
                held.discard(key)
        if kind in LEVEL_TYPES or (kind == "Control_c" and params[1] == "7"):
            params[2] = str(map_level(int(params[2]), d, vol))
        if kind == "Note_on_c" and repair:
            out.append((track, new_time, "Note_off_c", f"{params[0]}, {params[1]}, 64"))
        out.append((track, new_time, kind, ", ".join(params)))
    return out


def vlq(n):
    groups = [n & 0x7F]
    while n > 0x7F:
        n >>= 7
        groups.append(0x80 | (n & 0x7F))
    return bytes(reversed(groups))


def random_song(rng):
    tracks = []
    for _ in range(rng.randint(1, 3)):
        data = bytearray()
        running = None
        for _ in range(rng.randint(1, 300)):
            data += vlq(rng.choice([0, 0, 1, 30, 96, 200, 5000, 70000]))
            status = rng.choice([0x80, 0x90, 0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0]) | rng.randint(0, 15)
            if status != running or rng.random() < 0.3:
                data.append(status)
            running = status
            count = 1 if status >> 4 in (0xC, 0xD) else 2
            data += bytes(rng.choice([7, 10, rng.randint(0, 127)]) if i == 0 and status >> 4 == 0xB
                          else rng.randint(0, 127) for i in range(count))
        data += b"\x00\xff\x2f\x00"
        tracks.append(b"MTrk" + struct.pack(">I", len(data)) + data)
    header = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), 96)
    return header + b"".join(tracks)


def riff_chunk(chunk_id, data):
    return chunk_id + struct.pack("<I", len(data)) + data + b"\0" * (len(data) % 2)


def rmid(song):
    """The song in a RIFF MIDI file, with an odd-length chunk before its data and a list after."""
    info = riff_chunk(b"LIST", b"INFO" + riff_chunk(b"INAM", b"Song"))
    return riff_chunk(b"RIFF", b"RMID" + riff_chunk(b"DISP", b"\1\2\3") + riff_chunk(b"data", song) + info)


def together_song(rng, length):
    """A format-1 file whose tracks, from notes a tick apart to notes a bar apart, all end on
    the same tick."""
    tracks = []
    for channel, spacing in enumerate([1, 2, 3, 7, 120, 959, 1920]):
        data = bytearray([0, 0x90 | channel, 60, 64])
        time = 0
        while time + 3 * spacing + 100 < length:
            step = spacing + rng.randint(0, 2 * spacing)
            time += step
            data += vlq(step) + bytes([rng.randint(0, 127), rng.choice([0, 64])])
        data += vlq(length - time) + b"\xff\x2f\x00"
        tracks.append(b"MTrk" + struct.pack(">I", len(data)) + data)
    header = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), 480)
    return header + b"".join(tracks)


def track_ends(rows):
    return {track: time for track, time, kind, _ in rows if kind == "End_track"}


def check_track_ends(korvane, path, plain, work, env):
    """Converts at 80 % and compares each track's end with its ideal time, input end / 0.8:
    at 80 % every tick becomes more than one, so no track may end a tick or more away."""
    out = os.path.join(work, "out80.mid")
    subprocess.run([korvane, "--speed=80", f"--output={out}", path], check=True, env=env)
    ends_in, ends_out = track_ends(midicsv(plain)), track_ends(midicsv(out))
    if ends_in.keys() != ends_out.keys():
        print(f"FAIL {os.path.basename(path)} at 80 %: tracks {ends_in.keys()} became {ends_out.keys()}")
        return False
    late = {t: (ends_out[t] - Fraction(ends_in[t] * 100, 80)) for t in ends_in}
    wrong = {t: float(d) for t, d in late.items() if not -1 < d <= 0}
    if wrong:
        print(f"FAIL {os.path.basename(path)} at 80 %: track ends off their ideal times by {wrong}")
    return not wrong


def with_length_off(song, track, delta):
    """The song with one track's declared length off by delta bytes."""
    pos = 14
    for _ in range(track):
        pos += 8 + struct.unpack(">I", song[pos + 4:pos + 8])[0]
    length = struct.unpack(">I", song[pos + 4:pos + 8])[0]
    return song[:pos + 4] + struct.pack(">I", length + delta) + song[pos + 8:]


def with_after_track(song, track, more_ends, junk):
    """The song with more End of Tracks at the end of one track's data (its length covering
    them) and junk after its chunk."""
    pos = 14
    for _ in range(track + 1):
        start, length = pos, struct.unpack(">I", song[pos + 4:pos + 8])[0]
        pos += 8 + length
    body = song[start + 8:pos] + more_ends
    return song[:start] + b"MTrk" + struct.pack(">I", len(body)) + body + junk + song[pos:]


# Rows of the table: more End of Tracks in the track, junk after it.
AFTER_TRACK = [(b"", b""), (b"", b"zz\1\2\3\4\5"), (b"", b"<html>404</html>\n"),
               (b"\0\xff\x2f\0" * 2, b"")]


def check_lengths_off(korvane, work, env, rng):
    """Songs of two and three tracks, each track length alone off by -8 to 8, the track as it
    is, with junk after it or with several End of Tracks: converted, every track's events are
    those of the intact song's output."""
    checked = failures = 0
    for tracks in (2, 3):
        song = b""
        while song.count(b"MTrk") != tracks:
            song = random_song(rng)
        intact = os.path.join(work, "intact.mid")
        with open(intact, "wb") as f:
            f.write(song)
        want = os.path.join(work, "intact-out.mid")
        subprocess.run([korvane, "--fix-stuck-notes", f"--output={want}", intact], check=True, env=env)
        for track in range(tracks):
            for more_ends, junk in AFTER_TRACK:
                damaged = with_after_track(song, track, more_ends, junk)
                for delta in [d for d in range(-8, 9) if d or more_ends or junk]:
                    path = os.path.join(work, "off.mid")
                    with open(path, "wb") as f:
                        f.write(with_length_off(damaged, track, delta))
                    out = os.path.join(work, "off-out.mid")
                    subprocess.run([korvane, "--fix-stuck-notes", f"--output={out}", path], check=True,
                                   env=env)
                    checked += 1
                    if midicsv(out) != midicsv(want):
                        failures += 1
                        print(f"FAIL {tracks} tracks, track {track} length off by {delta}, "
                              f"{len(more_ends) // 4} more ends, {len(junk)} bytes of junk")
    return checked, failures


def check_seeds(korvane, seeds, work, env):
    """Every output korvane writes for the broken files is read by midicsv and by mido."""
    import mido
    checked = failures = 0
    for name in sorted(os.listdir(seeds)):
        out = os.path.join(work, "seed.mid")
        if os.path.exists(out):
            os.remove(out)
        subprocess.run([korvane, "--fix-stuck-notes", f"--output={out}", os.path.join(seeds, name)],
                       env=env, capture_output=True)
        if not os.path.exists(out) or os.path.getsize(out) == 0:
            continue
        checked += 1
        read = subprocess.run(["midicsv", out], capture_output=True)
        if read.returncode != 0 or read.stderr:
            failures += 1
            print(f"FAIL midicsv cannot read the output of seed {name}: {read.stderr.decode()[:200]}")
            continue
        try:
            mido.MidiFile(out)
        except Exception as error:  # mido raises many kinds on a broken file
            failures += 1
            print(f"FAIL mido cannot read the output of seed {name}: {error}")
    return checked, failures


def main():
    korvane, examples, seeds = sys.argv[1], sys.argv[2], sys.argv[3]
    # Each input with the plain MIDI file midicsv reads as its original.
    inputs = [(p, p) for p in (os.path.join(examples, n) for n in sorted(os.listdir(examples)))
              if p.endswith(".mid")]
    failures = checked = 0
    with tempfile.TemporaryDirectory() as work:
        rng = random.Random(7)
        for i in range(20):
            path = os.path.join(work, f"random{i}.mid")
            song = random_song(rng)
            with open(path, "wb") as f:
                f.write(song)
            inputs.append((path, path))
            if i < 5:
                with open(path[:-4] + ".rmi", "wb") as f:
                    f.write(rmid(song))
                inputs.append((path[:-4] + ".rmi", path))
        for i, length in enumerate([38400, 30721, 96001]):
            path = os.path.join(work, f"together{i}.mid")
            with open(path, "wb") as f:
                f.write(together_song(rng, length))
            inputs.append((path, path))
        env = dict(os.environ, XDG_CONFIG_HOME=work)
        for path, plain in inputs:
            original = midicsv(plain)
            for d, vol, p, repair in SETTINGS:
                out = os.path.join(work, "out.mid")
                args = [korvane, f"--dynamic-range={d}", f"--volume={vol}", f"--speed={p}",
                        f"--output={out}", path] + (["--fix-stuck-notes"] if repair else [])
                subprocess.run(args, check=True, env=env)
                checked += 1
                want, got = expected_rows(original, d, vol, p, repair), midicsv(out)
                if want != got:
                    failures += 1
                    first = next(i for i, (a, b) in enumerate(zip(want + [None], got + [None])) if a != b)
                    print(f"FAIL {os.path.basename(path)} D={d} V={vol} P={p} repair={repair}: "
                          f"row {first}: want {want[first:first + 1]} got {got[first:first + 1]}")
            checked += 1
            failures += not check_track_ends(korvane, path, plain, work, env)
        # A run over a folder writes the same bytes as one file at a time.
        d, vol, p, repair = SETTINGS[2]
        collection = os.path.join(work, "collection")
        os.makedirs(os.path.join(collection, "sub"))
        randoms = [path for path, plain in inputs
                   if path == plain and os.path.dirname(path) == work]
        for i, path in enumerate(randoms):
            os.link(path, os.path.join(collection, "sub" if i % 2 else "", os.path.basename(path)))
        out = os.path.join(work, "collection-out")
        subprocess.run([korvane, "--jobs=3", "--quiet", f"--output-dir={out}", f"--dynamic-range={d}",
                        f"--volume={vol}", f"--speed={p}", "--fix-stuck-notes", collection],
                       check=True, env=env)
        for i, path in enumerate(randoms):
            name = os.path.basename(path)[:-len(".mid")] + "KRV.mid"
            converted = os.path.join(out, "sub" if i % 2 else "", name)
            checked += 1
            if expected_rows(midicsv(path), d, vol, p, repair) != midicsv(converted):
                failures += 1
                print(f"FAIL collection output {converted}")
        for checks in (check_lengths_off(korvane, work, env, rng),
                       check_seeds(korvane, seeds, work, env)):
            checked += checks[0]
            failures += checks[1]
    print(f"{checked - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
