#!/usr/bin/python3
"""Converts every fuzz seed with korvane at the default settings and reads every output called
converted or repaired back with two independent readers, mido and midicsv. An output either
reader refuses must be a legal file that shows one of the reader limits the README lists; any
other refusal is a format break and fails the test. Prints the counts of each refusal."""
import collections
import json
import math
import os
import re
import struct
import subprocess
import sys
import tempfile

import mido


def chunks(data):
    pos, found = 0, []
    while pos + 8 <= len(data):
        chunk_id, length = data[pos:pos + 4], struct.unpack(">I", data[pos + 4:pos + 8])[0]
        found.append((chunk_id, data[pos + 8:pos + 8 + length]))
        pos += 8 + length
    return found


def vlq(data, pos):
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, pos


def events(track, with_delta=False):
    """(status, meta type or None, data) of each event of a track, up to its End of Track, and
    first its delta time when asked for."""
    pos, running = 0, 0
    while pos < len(track):
        delta, pos = vlq(track, pos)
        status = track[pos]
        if status & 0x80:
            pos += 1
            running = status if status < 0xF0 else running
        else:
            status = running
        if status == 0xFF:
            kind = track[pos]
            length, pos = vlq(track, pos + 1)
            event = (status, kind, track[pos:pos + length])
        elif status in (0xF0, 0xF7):
            length, pos = vlq(track, pos)
            event = (status, None, track[pos:pos + length])
        else:
            length = 1 if status >> 4 in (0xC, 0xD) else 2
            event = (status, None, track[pos:pos + length])
        if len(event[2]) < length:
            raise ValueError("event cut short")
        yield (delta,) + event if with_delta else event
        pos += length
        if status == 0xFF and event[1] == 0x2F:
            if with_delta and pos < len(track):
                yield "after End of Track", track[pos:]
            return


def meaning(data):
    """What a reader takes from a file: the header, each track's events with their delta times,
    every other chunk whole, and the bytes a chunk length leaves over. The same for a file and
    its normalised form (lengths in their shortest form, a status written again)."""
    parts = chunks(data)
    return [(chunk_id, list(events(body, True)) if chunk_id == b"MTrk" else body)
            for chunk_id, body in parts], sum(8 + len(body) for _, body in parts) - len(data)


def mido_denominator_refused(exponent):
    """mido checks a denominator 2^dd through a floating-point logarithm, which misses for some."""
    return math.log(2 ** exponent, 2) != int(math.log(2 ** exponent, 2))


def limits(data):
    """The reader limits a legal output shows, by name."""
    found = set()
    parts = chunks(data)
    if len(struct.unpack(">I", data[4:8])) and struct.unpack(">I", data[4:8])[0] != 6:
        found.add("header-longer-than-6")
    ids = [chunk_id for chunk_id, _ in parts[1:]]
    if b"MTrk" in ids and any(i != b"MTrk" for i in ids[:len(ids) - ids[::-1].index(b"MTrk")]):
        found.add("vendor-chunk-before-a-track")
    for chunk_id, body in parts[1:]:
        if chunk_id != b"MTrk":
            continue
        for status, kind, payload in events(body):
            if status == 0xF7 and any(b >= 0x80 for b in payload):
                found.add("escape-holding-status-bytes")
            if status == 0xFF and kind == 0x58 and mido_denominator_refused(payload[1]):
                found.add("time-signature-denominator")
            sharps = payload[0] - 256 if payload and payload[0] > 127 else (payload or b"\0")[0]
            if status == 0xFF and kind == 0x59 and (not -7 <= sharps <= 7 or payload[1] > 1):
                found.add("key-signature-out-of-range")
            if status == 0xFF and kind == 0x54 and (max(payload[1], payload[2]) > 59 or payload[4] > 99):
                found.add("smpte-offset-out-of-range")
    return found


# Which limits explain each reader's refusal, by a pattern of its message.
EXPLAINED = {
    ("mido", r"no MTrk header at start of track"): {"vendor-chunk-before-a-track"},
    ("mido", r"data byte must be in range 0\.\.127"): {"escape-holding-status-bytes"},
    ("mido", r"denominator must be a power of 2"): {"time-signature-denominator"},
    ("mido", r"Could not decode key"): {"key-signature-out-of-range"},
    ("mido", r"attribute must be in range"): {"smpte-offset-out-of-range"},
    ("midicsv", r"Track \d+ header is invalid\."): {"vendor-chunk-before-a-track",
                                                  "header-longer-than-6"},
}


def refusals(path):
    """(reader, message) of each reader that refuses the file."""
    found = []
    try:
        mido.MidiFile(path)
    except Exception as error:  # mido raises many kinds on a file it refuses
        found.append(("mido", str(error)))
    read = subprocess.run(["midicsv", path], capture_output=True)
    if read.returncode != 0 or read.stderr:
        found.append(("midicsv", read.stderr.decode(errors="replace").strip()))
    return found


def main():
    korvane, seeds = sys.argv[1], sys.argv[2]
    statuses, refused, limited = collections.Counter(), collections.Counter(), collections.Counter()
    passed = failed = 0
    with tempfile.TemporaryDirectory() as work:
        env = dict(os.environ, XDG_CONFIG_HOME=work)
        out = os.path.join(work, "out.mid")
        for name in sorted(os.listdir(seeds)):
            if os.path.exists(out):
                os.remove(out)
            run = subprocess.run([korvane, "--report=-", f"--output={out}", os.path.join(seeds, name)],
                                 capture_output=True, env=env)
            line = json.loads(run.stdout.decode().splitlines()[1])
            statuses[line["status"]] += 1
            if line["status"] not in ("converted", "repaired"):
                continue
            with open(out, "rb") as f:
                written = f.read()
            shown = limits(written)
            unexplained = []
            if line["status"] == "converted":
                # Nothing counted as mended: the file means what its input meant.
                with open(os.path.join(seeds, name), "rb") as f:
                    read = f.read()
                try:
                    same = meaning(read) == meaning(written)
                except (IndexError, ValueError):
                    same = False
                if not same:
                    unexplained.append("converted, yet the output means something else")
            for reader, message in refusals(out):
                refused[reader, re.sub(r"Track \d+", "Track N", message[:60])] += 1
                key = next((k for k in EXPLAINED if k[0] == reader and re.match(k[1], message)), None)
                if key is None or not EXPLAINED[key] & shown:
                    unexplained.append(f"{reader}: {message[:120]}")
                else:
                    limited[reader] += 1
            if unexplained:
                failed += 1
                print(f"FAIL seed {name}: " + "; ".join(unexplained))
            else:
                passed += 1
    print("statuses:", dict(sorted(statuses.items())))
    for (reader, message), count in sorted(refused.items()):
        print(f"{reader} refused {count}: {message}")
    print(f"refusals explained by a listed reader limit: mido {limited['mido']}, "
          f"midicsv {limited['midicsv']}")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main())
