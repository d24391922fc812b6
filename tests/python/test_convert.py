"""korvane.convert, convert_file and check give what the command line gives, byte for byte and
count for count, on the demo files and on damaged ones."""
import io
import json
import pickle

import mido
import pytest

import korvane
from conftest import SETTINGS, korvane_output, run_korvane


@pytest.mark.parametrize("options,settings", SETTINGS, ids=["default", "levels", "bars", "peak"])
def test_outputs_are_the_command_lines(inputs, tmp_path, options, settings):
    for source in inputs:
        expected = korvane_output(source, options, tmp_path)
        from_path = korvane.convert(source, **settings)
        assert from_path.data == expected, source.name
        assert korvane.convert(source.read_bytes(), **settings).data == expected, source.name
        target = tmp_path / "from-python.mid"
        written = korvane.convert_file(str(source), target, **settings)
        assert target.read_bytes() == expected, source.name
        assert written.data is None
        assert (written.status, written.repairs) == (from_path.status, from_path.repairs)
        assert (written.bytes_in, written.bytes_out) == (source.stat().st_size, len(expected))


def test_outputs_read_back_event_by_event(inputs):
    """An independent reader takes every output, damaged input or not."""
    for source in inputs:
        data = korvane.convert(source, fix_stuck_notes=True).data
        midi = mido.MidiFile(file=io.BytesIO(data))
        assert all(track and track[-1].type == "end_of_track" for track in midi.tracks)


@pytest.mark.parametrize("options,settings", SETTINGS, ids=["default", "levels", "bars", "peak"])
def test_check_reports_as_the_command_line(inputs, options, settings):
    run = run_korvane("--check", "--report=-", "--jobs=2", *options, *inputs, check=False)
    rows = [json.loads(line) for line in run.stdout.splitlines()[1:]]
    assert [row["input"] for row in rows] == [str(p) for p in inputs]
    for source, row in zip(inputs, rows):
        checked = korvane.check(source, **settings)
        assert checked.data is None
        assert checked.status == row["status"], source.name
        assert checked.repairs == row["repairs"], source.name
        assert checked.chunks_kept == row["chunks_kept"]


def test_status_and_gain_follow_the_conversion(inputs, tmp_path):
    stuck = next(p for p in inputs if p.name == "held-at-end.mid")
    assert korvane.convert(stuck).status == "converted"
    repaired = korvane.convert(stuck, fix_stuck_notes=True)
    assert (repaired.status, repaired.repairs["note_offs_inserted"]) == ("repaired", 3)
    assert korvane.check(stuck, fix_stuck_notes=True).status == "would-repair"
    assert korvane.convert(stuck).gain is None
    run = run_korvane("--peak=100", "--report=-", f"--output={tmp_path}/out.mid", stuck)
    chosen = json.loads(run.stdout.splitlines()[1])["gain"]
    assert korvane.convert(stuck, peak=100).gain == chosen


def test_results_and_errors_travel_between_processes(inputs):
    """Pickled as a process pool or a Dask bag mapped over convert hands them back."""
    stuck = next(p for p in inputs if p.name == "held-at-end.mid")
    result = korvane.convert(stuck, fix_stuck_notes=True, peak=90)
    copy = pickle.loads(pickle.dumps(result))
    fields = ("data", "status", "repairs", "chunks_kept", "bytes_in", "bytes_out", "gain")
    assert [getattr(copy, f) for f in fields] == [getattr(result, f) for f in fields]
    with pytest.raises(korvane.NotMidiError) as raised:
        korvane.convert(b"no MIDI here")
    error = pickle.loads(pickle.dumps(raised.value))
    assert (type(error), error.code, error.message) == (korvane.NotMidiError, "not-midi",
                                                        raised.value.message)
