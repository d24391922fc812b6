import os
from typing import Any, Iterable, Optional, Union

def convert_collection(
    paths: Iterable[Union[str, os.PathLike[str]]],
    out_dir: Union[str, os.PathLike[str]],
    *,
    keep_names: bool = False,
    npartitions: Optional[int] = None,
    speed: int = 100,
    dynamic_range: int = 500,
    volume: int = 500,
    fix_stuck_notes: bool = False,
    keep_bars: bool = False,
    channels: Union[str, Iterable[int], None] = None,
    peak: Optional[int] = None,
) -> list[dict[str, Any]]: ...
