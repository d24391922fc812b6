#include "python/ConversionResult.h"

#include "job/RepairFields.h"

#include <pybind11/stl.h>

#include <stdexcept>

namespace korvane {

pybind11::dict ConversionResult::Repairs() const {
    pybind11::dict counts;
    for (const RepairKind& kind : kRepairKinds) {
        if (InReportRepairs(kind)) {
            counts[kind.reportKey] = repairs.*kind.count;
        }
    }
    return counts;
}

pybind11::tuple ConversionResult::State() const {
    return pybind11::make_tuple(data, status, Repairs(), repairs.chunksCopied, bytesIn, bytesOut,
                                gain);
}

ConversionResult ConversionResult::FromState(const pybind11::tuple& state) {
    if (state.size() != 7) {
        throw std::runtime_error("not the state of a korvane.Result");
    }
    ConversionResult result;
    result.data = state[0];
    result.status = state[1].cast<std::string>();
    const pybind11::dict counts = state[2].cast<pybind11::dict>();
    for (const RepairKind& kind : kRepairKinds) {
        if (InReportRepairs(kind)) {
            result.repairs.*kind.count = counts[kind.reportKey].cast<uint64_t>();
        }
    }
    result.repairs.chunksCopied = state[3].cast<uint64_t>();
    result.bytesIn = state[4].cast<uint64_t>();
    result.bytesOut = state[5].cast<uint64_t>();
    result.gain = state[6].cast<std::optional<double>>();
    return result;
}

} // namespace korvane
