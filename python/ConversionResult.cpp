#include "python/ConversionResult.h"

#include "job/RepairFields.h"

namespace korvane {

pybind11::dict ConversionResult::Repairs() const {
    pybind11::dict counts;
    for (const RepairField& field : kRepairFields) {
        counts[field.key] = repairs.*field.count;
    }
    return counts;
}

} // namespace korvane
