#!/usr/bin/python3
"""Files per second of the Python module on one generated collection, in one run: korvane.convert
in a loop and in a pool of two threads (into memory), korvane.dask.convert_collection on a local
cluster of two worker processes and `korvane --jobs=2 DIR` (both writing every output, synced
and renamed), beside python3-mido loading and saving the same files. Prints figures; it never
passes or fails on them.
Usage: python-benchmark.py KORVANE COLLECTION_FOLDER WORK_FOLDER"""
import concurrent.futures
import os
import pathlib
import shutil
import subprocess
import sys
import time

import mido
from dask.distributed import Client, LocalCluster

import korvane
import korvane.dask

KORVANE, COLLECTION, WORK = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
SETTINGS = {"speed": 150, "dynamic_range": 700, "fix_stuck_notes": True}
OPTIONS = ["--speed=150", "--dynamic-range=700", "--fix-stuck-notes"]


def timed(action):
    start = time.perf_counter()
    action()
    return time.perf_counter() - start


def convert_one(path):
    try:
        return korvane.convert(path, **SETTINGS).data
    except korvane.ConversionError:
        return None


def loop(paths):
    for path in paths:
        convert_one(path)


def thread_pool(paths):
    with concurrent.futures.ThreadPoolExecutor(2) as pool:
        list(pool.map(convert_one, paths, chunksize=64))


def mido_load_save(paths, out):
    failed = 0
    for i, path in enumerate(paths):
        try:
            mido.MidiFile(path, clip=True).save(out / f"{i}.mid")
        except (OSError, ValueError, EOFError, KeyError, IndexError):
            failed += 1
    return failed


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    return folder


def main():
    paths = sorted(str(p) for p in COLLECTION.rglob("*.mid"))
    megabytes = sum(os.path.getsize(p) for p in paths) / 1e6
    print(f"{len(paths)} files, {megabytes:.1f} MB, on {os.cpu_count()} processors")
    loop(paths)  # every file in the page cache before anything is timed
    rows = [("korvane.convert, a loop", timed(lambda: loop(paths)))]
    rows.append(("korvane.convert, 2 threads", timed(lambda: thread_pool(paths))))
    with LocalCluster(n_workers=2, threads_per_worker=1, dashboard_address=":0") as cluster, \
            Client(cluster):
        out = fresh(WORK / "dask")
        rows.append(("korvane.dask, 2 local workers",
                     timed(lambda: korvane.dask.convert_collection(paths, out, **SETTINGS))))
    out = fresh(WORK / "command")
    rows.append(("korvane --jobs=2 DIR", timed(lambda: subprocess.run(
        [KORVANE, "--jobs=2", "--quiet", f"--output-dir={out}", *OPTIONS, str(COLLECTION)],
        check=False))))
    out = fresh(WORK / "mido")
    failed = []
    rows.append(("mido load + save", timed(lambda: failed.append(mido_load_save(paths, out)))))
    for name, seconds in rows:
        print(f"{name:32} {len(paths) / seconds:9.0f} files/s  {seconds:7.2f} s")
    print(f"(mido refused {failed[0]} of the files)")


if __name__ == "__main__":
    main()
