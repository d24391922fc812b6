"""Every failure reaches Python as an exception that says what the command line says: the
report's code, the system's reason and the message in the profile's language; bad settings as
ValueError in the command line's words."""
import json
import os
import subprocess
import sys

import pytest

import korvane
from conftest import EXAMPLES, REPAIRS, run_korvane

DEMO = EXAMPLES / "PianoDynamics.mid"
NOT_MIDI = REPAIRS / "not-midi-text.mid"


def command_line_row(*args):
    run = run_korvane("--report=-", *args, check=False)
    return json.loads(run.stdout.splitlines()[1])


@pytest.mark.parametrize("case", ["not-midi", "missing", "fifo", "output-is-input",
                                  "output-folder-missing"])
def test_failures_carry_the_reports_code_reason_and_message(tmp_path, case):
    source, target = {
        "not-midi": (NOT_MIDI, tmp_path / "out.mid"),
        "missing": (tmp_path / "missing.mid", tmp_path / "out.mid"),
        "fifo": (tmp_path / "fifo.mid", tmp_path / "out.mid"),
        "output-is-input": (tmp_path / "same.mid", tmp_path / "same.mid"),
        "output-folder-missing": (DEMO, tmp_path / "no" / "out.mid"),
    }[case]
    if case == "output-is-input":
        source.write_bytes(DEMO.read_bytes())
    if case == "fifo":
        os.mkfifo(source)
    row = command_line_row(f"--output={target}", source)
    before = sorted(os.listdir(tmp_path))
    with pytest.raises(korvane.ConversionError) as raised:
        korvane.convert_file(source, target)
    error = raised.value
    assert (error.code, error.reason, error.message) == (row["error"], row["reason"],
                                                         row["message"])
    assert error.path == str(source)
    assert isinstance(error, korvane.NotMidiError) == (case == "not-midi")
    assert sorted(os.listdir(tmp_path)) == before  # nothing left behind


def test_bytes_that_are_no_midi_file_are_refused():
    with pytest.raises(korvane.NotMidiError) as raised:
        korvane.convert(NOT_MIDI.read_bytes())
    assert (raised.value.code, raised.value.path, raised.value.reason) == ("not-midi", None, None)
    with pytest.raises(korvane.NotMidiError):
        korvane.check(b"")


def test_a_full_disk_is_a_write_failure(tmp_path):
    """A write refused by the system (here the file size limit) is reported with its reason and
    leaves the earlier output as it was."""
    target = tmp_path / "out.mid"
    target.write_bytes(b"earlier")
    script = f"""
import resource, signal, korvane
signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
resource.setrlimit(resource.RLIMIT_FSIZE, (100, 100))
try:
    korvane.convert_file({str(DEMO)!r}, {str(target)!r})
except korvane.ConversionError as error:
    print(error.code, error.reason, sep="|")
"""
    run = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                         check=True)
    assert run.stdout.strip() == "write-failed|File too large"
    assert target.read_bytes() == b"earlier"
    assert os.listdir(tmp_path) == ["out.mid"]


def test_messages_speak_the_profiles_language(tmp_path):
    config = tmp_path / "config"
    config.mkdir()
    (config / "Korvane.ini").write_text("[Version 1.0]\nLanguage=0\n")
    script = f"""
import korvane
try:
    korvane.convert({str(NOT_MIDI)!r})
except korvane.NotMidiError as error:
    print(error.message)
"""
    env = dict(os.environ, XDG_CONFIG_HOME=str(config))
    python = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                            env=env, check=True)
    command = subprocess.run([os.environ["KORVANE_BINARY"], f"--output={tmp_path}/o.mid",
                              NOT_MIDI], capture_output=True, text=True, env=env, check=False)
    assert python.stdout.strip() and python.stdout.strip() in command.stderr
    assert "MIDI" in python.stdout and "not a MIDI file" not in python.stdout


BAD_SETTINGS = [
    ({"speed": 100001}, ["--speed=100001"]),
    ({"speed": -1}, ["--speed=-1"]),
    ({"dynamic_range": 1001}, ["--dynamic-range=1001"]),
    ({"volume": -5}, ["--volume=-5"]),
    ({"peak": 0}, ["--peak=0"]),
    ({"peak": 128}, ["--peak=128"]),
    ({"channels": "0-3"}, ["--channels=0-3"]),
    ({"channels": "9-2"}, ["--channels=9-2"]),
    ({"channels": [1, 17]}, ["--channels=1,17"]),
    ({"channels": ""}, ["--channels="]),
]


@pytest.mark.parametrize("settings,options", BAD_SETTINGS)
def test_bad_settings_are_refused_in_the_command_lines_words(settings, options):
    usage = run_korvane(*options, DEMO, check=False)
    assert usage.returncode == 2
    with pytest.raises(ValueError) as raised:
        korvane.convert(DEMO, **settings)
    assert f"korvane: {raised.value}\n" in usage.stderr.decode()


@pytest.mark.parametrize("settings", [{"speed": 80.0}, {"volume": "400"}, {"channels": [1.5]}])
def test_settings_of_the_wrong_type_are_type_errors(settings):
    with pytest.raises(TypeError):
        korvane.convert(DEMO, **settings)


def test_a_path_with_a_null_is_refused_as_python_refuses_it(tmp_path):
    (tmp_path / "a.mid").write_bytes(b"earlier")
    for call in (lambda: korvane.convert(f"{tmp_path}/a.mid\0.txt"),
                 lambda: korvane.convert_file(DEMO, f"{tmp_path}/a.mid\0x")):
        with pytest.raises(ValueError, match="null"):
            call()
    assert (tmp_path / "a.mid").read_bytes() == b"earlier"


def test_positional_settings_and_unknown_ones_are_refused():
    with pytest.raises(TypeError):
        korvane.convert(DEMO, 80)
    with pytest.raises(TypeError):
        korvane.convert(DEMO, tempo=80)
