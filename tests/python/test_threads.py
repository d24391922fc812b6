"""Threads convert at once: the lock is released while the job runs, and each thread's job is
its own, so outputs never mix. The speed-up on 200 files is printed; it is judged by the
benchmark (bench/python-benchmark.py), not asserted on a shared machine."""
import concurrent.futures
import threading
import time

import korvane
import midi_songs
from test_memory import large_song


def convert_all(paths, threads):
    with concurrent.futures.ThreadPoolExecutor(threads) as pool:
        return list(pool.map(lambda p: korvane.convert(p, speed=90, fix_stuck_notes=True).data,
                             paths))


def test_threads_give_the_outputs_one_thread_gives(tmp_path, capsys):
    paths = midi_songs.write_collection(tmp_path, count=200, notes=3000)
    convert_all(paths, 1)  # the page cache and each thread's job warm
    start = time.perf_counter()
    alone = convert_all(paths, 1)
    one = time.perf_counter() - start
    start = time.perf_counter()
    together = convert_all(paths, 2)
    two = time.perf_counter() - start
    assert together == alone
    assert len(set(alone)) == len(paths)  # every song is its own
    with capsys.disabled():
        print(f"\n200 files: 1 thread {200 / one:.0f} files/s, 2 threads {200 / two:.0f} "
              f"files/s, {one / two:.2f} x")


def test_bytes_and_paths_mix_across_threads(tmp_path):
    paths = midi_songs.write_collection(tmp_path, count=40)
    sources = [p if i % 2 else p.read_bytes() for i, p in enumerate(paths)]
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        checked = list(pool.map(lambda s: korvane.check(s).bytes_in, sources))
    assert checked == [p.stat().st_size for p in paths]


def test_python_runs_on_while_a_large_file_converts(tmp_path):
    """The lock is free during the conversion: the main thread is never held back for long.
    Held for the whole call, the longest gap would be the whole conversion."""
    source = tmp_path / "large.mid"
    large_song(source, 32 << 20)
    took = []
    go = threading.Event()

    def convert():
        go.wait()  # the main thread is in its loop
        start = time.perf_counter()
        korvane.convert(source, volume=400)
        took.append(time.perf_counter() - start)

    worker = threading.Thread(target=convert)
    worker.start()
    longest, last = 0.0, time.perf_counter()
    while worker.is_alive():
        go.set()
        now = time.perf_counter()
        longest, last = max(longest, now - last), now
    worker.join()
    assert longest < took[0] / 2, (longest, took[0])
