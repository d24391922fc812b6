"""Generated songs for the collection tests and the benchmark: format 1, a tempo track and
note tracks, each song different, some with a stuck note and some cut short."""
import random
import struct


def variable_length(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def track(events):
    body = b"".join(variable_length(delta) + data for delta, data in events) + b"\x00\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(body)) + body


def song(seed, notes=400):
    rng = random.Random(seed)
    tempo = track([(0, b"\xff\x51\x03" + (500000 + seed).to_bytes(3, "big"))])
    tracks = [tempo]
    for channel in range(3):
        events = []
        for i in range(notes):
            key = 40 + rng.randrange(40)
            events.append((rng.randrange(1, 120), bytes([0x90 | channel, key, rng.randrange(1, 128)])))
            if not (seed % 7 == 0 and i == notes - 1):  # a stuck note now and then
                events.append((rng.randrange(1, 240), bytes([0x80 | channel, key, 64])))
        tracks.append(track(events))
    data = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), 480) + b"".join(tracks)
    return data[: len(data) - 100] if seed % 11 == 0 else data  # cut short now and then


def write_collection(folder, count, notes=400):
    paths = []
    for seed in range(count):
        path = folder / f"song{seed:05d}.mid"
        path.write_bytes(song(seed, notes))
        paths.append(path)
    return paths
