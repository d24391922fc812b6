"""Converting a collection of MIDI files on a Dask cluster.

    from dask.distributed import Client
    import korvane.dask
    Client("tcp://scheduler:8786")          # or LocalCluster(); without one, Dask's own threads
    rows = korvane.dask.convert_collection(paths, "fixed", fix_stuck_notes=True)

Every worker needs the korvane module and the paths and output folder under the same names
(a shared file system).
"""

import os

import dask.bag

from korvane import _korvane


def convert_collection(paths, out_dir, *, keep_names=False, npartitions=None, **settings):
    """Converts every file of paths into out_dir, on a Dask bag of the paths.

    The outputs are named as 'korvane --output-dir=OUT_DIR FILE...' names them (songKRV.mid,
    or the input's name with keep_names=True), and inputs whose outputs would collide are
    refused as the command line refuses them, before anything is converted. settings are those
    of korvane.convert; a bad one raises ValueError here, before any work is sent out.

    Returns one dict per input, in the order of paths, with the keys of a line of the command
    line's report: input, output, status ('converted', 'repaired', 'failed' or 'refused'),
    message, error, reason, bytes_in, bytes_out, repairs, chunks_kept and, with peak, gain.
    A file that fails gives its row; it raises nothing.
    """
    inputs = [os.fsdecode(os.fspath(path)) for path in paths]
    folder = os.fsdecode(os.fspath(out_dir))
    _korvane._FolderConversion(folder, **settings)
    plan = _korvane._plan_folder_outputs(inputs, folder, keep_names)
    items = [(path, os.fsdecode(output), collides) for path, (output, collides) in zip(inputs, plan)]
    if not items:
        return []
    bag = dask.bag.from_sequence(items, npartitions=npartitions)
    return bag.map_partitions(_convert_partition, folder, settings).compute()


def _convert_partition(items, folder, settings):
    conversion = _korvane._FolderConversion(folder, **settings)
    return [
        {"input": path, "output": output, **conversion.convert(path, os.fsencode(output), collides)}
        for path, output, collides in items
    ]
