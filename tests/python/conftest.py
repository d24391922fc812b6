"""What the module's tests share: the korvane command built beside the module, the demo files,
the damaged files of the repair tests, and generated damaged ones."""
import os
import pathlib
import subprocess

import pytest

import damaged

KORVANE = os.environ["KORVANE_BINARY"]
EXAMPLES = pathlib.Path(os.environ["KORVANE_EXAMPLES"])
REPAIRS = pathlib.Path(__file__).resolve().parents[1] / "data" / "repairs"

# The four settings every byte comparison runs under, as the command line's options and as
# the module's keywords.
SETTINGS = [
    ([], {}),
    (["--speed=80", "--dynamic-range=700", "--volume=400", "--fix-stuck-notes"],
     {"speed": 80, "dynamic_range": 700, "volume": 400, "fix_stuck_notes": True}),
    (["--speed=150", "--keep-bars", "--channels=1-9,11-16"],
     {"speed": 150, "keep_bars": True, "channels": "1-9,11-16"}),
    (["--peak=120", "--dynamic-range=300", "--channels=1,2,3"],
     {"peak": 120, "dynamic_range": 300, "channels": [1, 2, 3]}),
]


@pytest.fixture(scope="session", autouse=True)
def english_profile(tmp_path_factory):
    """A profile of the tests' own, so the messages' language is the default one whatever the
    machine's profile says; the command line run by the tests reads the same."""
    os.environ["XDG_CONFIG_HOME"] = str(tmp_path_factory.mktemp("config"))


def run_korvane(*args, check=True):
    run = subprocess.run([KORVANE, *map(str, args)], capture_output=True, check=False)
    if check:
        assert run.returncode == 0, run.stderr.decode()
    return run


def korvane_output(source, options, folder):
    """The bytes `korvane --output=` writes for source under options."""
    out = folder / "expected.mid"
    run_korvane(*options, f"--output={out}", source)
    return out.read_bytes()


def midi_inputs(folder):
    """The demo files, the repair tests' damaged files that are MIDI files, and damaged files
    generated from the demo files."""
    demos = sorted(EXAMPLES.glob("*.mid"))
    repairs = sorted(p for p in REPAIRS.glob("*.mid") if p.name != "not-midi-text.mid")
    return demos + repairs + damaged.write_damaged(demos, folder)


@pytest.fixture(scope="session")
def inputs(tmp_path_factory):
    return midi_inputs(tmp_path_factory.mktemp("inputs"))
