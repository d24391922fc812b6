"""Damaged MIDI files made from sound ones, each with one fault of the kinds found in
collections: cut short, no End of Track, a wrong track length, a wrong track count, junk
between tracks, a MacBinary header, a stray data byte."""
import struct


def chunks(data):
    """The (offset, id, length) of each chunk of a sound file."""
    offset = 0
    while offset + 8 <= len(data):
        length = struct.unpack(">I", data[offset + 4:offset + 8])[0]
        yield offset, data[offset:offset + 4], length
        offset += 8 + length


def first_track(data):
    return next((o, n) for o, i, n in chunks(data) if i == b"MTrk")


def without_end_of_track(data):
    offset, length = first_track(data)
    end = offset + 8 + length
    assert data[end - 3:end] == b"\xff\x2f\x00"
    body = data[offset + 8:end - 4]  # the delta before it goes too
    return data[:offset + 4] + struct.pack(">I", len(body)) + body + data[end:]


def track_length_off(data):
    offset, length = first_track(data)
    return data[:offset + 4] + struct.pack(">I", length - 3) + data[offset + 8:]


def track_count_off(data):
    return data[:10] + struct.pack(">H", struct.unpack(">H", data[10:12])[0] + 2) + data[12:]


def junk_after_first_track(data):
    offset, length = first_track(data)
    end = offset + 8 + length
    return data[:end] + b"<html>junk</html>" + data[end:]


def stray_data_byte(data):
    offset, _ = first_track(data)
    return data[:offset + 8] + b"\x00\x45" + data[offset + 8:]


FAULTS = {
    "cut-third": lambda d: d[:len(d) // 3],
    "cut-two-thirds": lambda d: d[:2 * len(d) // 3],
    "no-end-of-track": without_end_of_track,
    "track-length-off": track_length_off,
    "track-count-off": track_count_off,
    "junk-after-track": junk_after_first_track,
    "macbinary-header": lambda d: bytes(128) + d,
    "stray-data-byte": stray_data_byte,
}


def write_damaged(sources, folder):
    """Every fault applied to every source, written into folder; returns their paths."""
    paths = []
    for source in sources:
        data = source.read_bytes()
        for fault, damage in FAULTS.items():
            path = folder / f"{source.stem}-{fault}.mid"
            path.write_bytes(damage(data))
            paths.append(path)
    return paths
