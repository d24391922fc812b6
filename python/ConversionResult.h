#pragma once

#include "midi/RepairCounts.h"

#include <pybind11/pybind11.h>

#include <cstdint>
#include <optional>
#include <string>

namespace korvane {

// What korvane.convert, check and convert_file give back.
struct ConversionResult {
    pybind11::object data = pybind11::none(); // bytes from convert, None otherwise
    std::string status;                       // as the report says it
    RepairCounts repairs;
    uint64_t bytesIn = 0;
    uint64_t bytesOut = 0;
    std::optional<double> gain; // the gain peak put on the velocities, to four decimals

    // The report's repairs: each count under its key.
    pybind11::dict Repairs() const;

    // What pickle keeps, so results travel between processes (a Dask bag mapped over convert).
    pybind11::tuple State() const;
    static ConversionResult FromState(const pybind11::tuple& state);
};

} // namespace korvane
