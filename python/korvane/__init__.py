"""Korvane repairs and adjusts Standard MIDI Files: the korvane command's conversion, byte for
byte, from Python.

    import korvane
    result = korvane.convert("song.mid", speed=80, fix_stuck_notes=True)
    open("fixed.mid", "wb").write(result.data)
    korvane.convert_file("song.mid", "fixed.mid", peak=120)

korvane.dask converts collections on a Dask cluster.
"""

from korvane._korvane import (
    ConversionError,
    NotMidiError,
    Result,
    check,
    convert,
    convert_file,
)

__all__ = ["ConversionError", "NotMidiError", "Result", "check", "convert", "convert_file"]
