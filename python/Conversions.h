#pragma once

#include "python/ConversionResult.h"
#include "python/Settings.h"

#include <pybind11/pybind11.h>

namespace korvane {

// korvane.convert, check and convert_file: each asks the conversion job of the calling thread,
// with the interpreter's lock released while the job runs. The source is a path (str or
// os.PathLike) or bytes-like data, read from a copy in memory.
ConversionResult ConvertToMemory(const pybind11::object& source, const Settings& settings);
ConversionResult CheckSource(const pybind11::object& source, const Settings& settings);
ConversionResult ConvertToFile(const pybind11::object& source, const pybind11::object& target,
                               const Settings& settings);

// A path given to Python as the system takes it (os.fsencode).
std::string SystemPath(const pybind11::object& path);

} // namespace korvane
