"""korvane.dask.convert_collection on a local cluster of two worker processes names, refuses,
converts and reports as `korvane --output-dir` does."""
import json
import shutil

import pytest
from dask.distributed import Client, LocalCluster

import korvane
import korvane.dask
import midi_songs
from conftest import REPAIRS, run_korvane


@pytest.fixture(scope="module")
def client():
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                      dashboard_address=":0") as cluster, Client(cluster) as dask_client:
        yield dask_client


def collection(folder):
    """Songs, a file that is no MIDI file, a missing one, and two whose outputs collide."""
    folder.mkdir()
    paths = midi_songs.write_collection(folder, count=30, notes=50)
    shutil.copy(REPAIRS / "not-midi-text.mid", folder / "text.mid")
    shutil.copy(paths[0], folder / "twin.mid")
    shutil.copy(paths[1], folder / "twin.x.mid")
    return paths + [folder / "text.mid", folder / "missing.mid", folder / "twin.mid",
                    folder / "twin.x.mid"]


@pytest.mark.parametrize("options,settings", [
    ([], {}),
    (["--fix-stuck-notes", "--peak=110", "--keep-names"],
     {"fix_stuck_notes": True, "peak": 110, "keep_names": True}),
])
def test_rows_and_outputs_are_the_command_lines(client, tmp_path, options, settings):
    paths = collection(tmp_path / "in")
    run = run_korvane("--report=-", f"--output-dir={tmp_path}/expected", *options, *paths,
                      check=False)
    expected = [json.loads(line) for line in run.stdout.splitlines()[1:]]
    rows = korvane.dask.convert_collection([str(p) for p in paths], tmp_path / "out", **settings)
    assert len(client.scheduler_info()["workers"]) == 2
    assert "refused" in [row["status"] for row in rows]
    for row, line in zip(rows, expected, strict=True):
        line["output"] = line["output"].replace(f"{tmp_path}/expected", f"{tmp_path}/out")
        assert row == line
        if row["status"] in ("converted", "repaired"):
            expected_bytes = (tmp_path / "expected" / row["output"].rsplit("/", 1)[1]).read_bytes()
            assert open(row["output"], "rb").read() == expected_bytes


def test_bad_settings_are_refused_before_any_work_is_sent(client, tmp_path):
    with pytest.raises(ValueError, match="--speed takes an integer"):
        korvane.dask.convert_collection([tmp_path / "a.mid"], tmp_path / "out", speed=-1)
    assert not (tmp_path / "out").exists()


def test_a_link_out_of_the_output_folder_is_not_followed(client, tmp_path):
    (tmp_path / "out").mkdir()
    song = midi_songs.write_collection(tmp_path, count=1)[0]
    (tmp_path / "out" / "song00000KRV.mid").symlink_to(tmp_path / "elsewhere.mid")
    [row] = korvane.dask.convert_collection([song], tmp_path / "out")
    assert (row["status"], row["error"]) == ("failed", "output-uncreatable")
    assert not (tmp_path / "elsewhere.mid").exists()
