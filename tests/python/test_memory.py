"""A large file converts into memory with room for little more than its output twice over (the
job's buffers, and the bytes handed to Python beside the engine's)."""
import struct
import subprocess
import sys

MB = 1 << 20


def large_song(path, size):
    events = b"\x00\x90\x40\x50\x10\x80\x40\x00" * ((size - 26) // 8)
    body = events + b"\x00\xff\x2f\x00"
    path.write_bytes(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480) + b"MTrk" +
                     struct.pack(">I", len(body)) + body)


# The process's own peak (VmHWM): ru_maxrss would carry over the test runner's peak at fork.
PEAK = """
import sys, korvane
def peak():
    status = open("/proc/self/status").read()
    return int(status.split("VmHWM:")[1].split()[0]) * 1024
before = peak()
result = korvane.convert(sys.argv[1], volume=400)
print(len(result.data), before, peak())
"""


def test_a_32_mb_file_converts_within_twice_its_size_and_30_mb(tmp_path, capsys):
    source = tmp_path / "large.mid"
    large_song(source, 32 * MB)
    size = source.stat().st_size
    run = subprocess.run([sys.executable, "-c", PEAK, str(source)], capture_output=True,
                         text=True, check=True)
    written, at_import, peak = map(int, run.stdout.split())
    assert written == size
    with capsys.disabled():
        print(f"\n{size / MB:.0f} MB file: peak {peak / MB:.1f} MB "
              f"({at_import / MB:.1f} MB after the import), limit {(2 * size + 30 * MB) / MB:.0f} MB")
    assert peak <= 2 * size + 30 * MB
