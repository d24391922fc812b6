import os
from typing import Iterable, Optional, Union

_Source = Union[str, os.PathLike[str], bytes, bytearray, memoryview]
_Path = Union[str, os.PathLike[str]]
_Channels = Union[str, Iterable[int], None]

class ConversionError(Exception):
    code: str
    reason: Optional[str]
    message: str
    path: Optional[str]

class NotMidiError(ConversionError): ...

class Result:
    @property
    def data(self) -> Optional[bytes]: ...
    @property
    def status(self) -> str: ...
    @property
    def repairs(self) -> dict[str, int]: ...
    @property
    def chunks_kept(self) -> int: ...
    @property
    def bytes_in(self) -> int: ...
    @property
    def bytes_out(self) -> int: ...
    @property
    def gain(self) -> Optional[float]: ...

def convert(
    data_or_path: _Source,
    *,
    speed: int = 100,
    dynamic_range: int = 500,
    volume: int = 500,
    fix_stuck_notes: bool = False,
    keep_bars: bool = False,
    channels: _Channels = None,
    peak: Optional[int] = None,
) -> Result: ...
def check(
    data_or_path: _Source,
    *,
    speed: int = 100,
    dynamic_range: int = 500,
    volume: int = 500,
    fix_stuck_notes: bool = False,
    keep_bars: bool = False,
    channels: _Channels = None,
    peak: Optional[int] = None,
) -> Result: ...
def convert_file(
    src: _Source,
    dst: _Path,
    *,
    speed: int = 100,
    dynamic_range: int = 500,
    volume: int = 500,
    fix_stuck_notes: bool = False,
    keep_bars: bool = False,
    channels: _Channels = None,
    peak: Optional[int] = None,
) -> Result: ...
