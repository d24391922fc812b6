#include "python/Settings.h"

#include "job/AdjustmentOptions.h"

#include <string>

namespace py = pybind11;

namespace korvane {

namespace {
// An integer's decimal text, for the option check to read as it reads the command line.
std::string IntegerText(const char* name, const py::object& value) {
    if (!py::isinstance<py::int_>(value)) {
        throw py::type_error(std::string(name) + " takes an int, not " +
                             std::string(py::str(py::type::of(value).attr("__name__"))));
    }
    return py::str(value);
}

// "1-9,11-16" as it is, or channel numbers joined into that form.
std::string ChannelsText(const py::object& value) {
    if (py::isinstance<py::str>(value)) {
        return value.cast<std::string>();
    }
    std::string text;
    for (const py::handle channel : py::iter(value)) {
        text += (text.empty() ? "" : ",") +
                IntegerText("channels", py::reinterpret_borrow<py::object>(channel));
    }
    return text;
}

void Apply(const char* option, const std::string& value, Settings& settings) {
    const std::string error = ApplyAdjustmentOption(option, value, settings.adjustments);
    if (!error.empty()) {
        throw py::value_error(error);
    }
}

void ApplyInteger(const char* name, const char* option, const py::object& value,
                  Settings& settings) {
    if (!value.is_none()) {
        Apply(option, IntegerText(name, value), settings);
    }
}
} // namespace

Settings CheckSettings(const SettingsArgs& args) {
    Settings settings;
    ApplyInteger("speed", "speed", args.speed, settings);
    ApplyInteger("dynamic_range", "dynamic-range", args.dynamicRange, settings);
    ApplyInteger("volume", "volume", args.volume, settings);
    ApplyInteger("peak", "peak", args.peak, settings);
    if (args.fixStuckNotes) {
        Apply("fix-stuck-notes", {}, settings);
    }
    if (args.keepBars) {
        Apply("keep-bars", {}, settings);
    }
    if (!args.channels.is_none()) {
        Apply("channels", ChannelsText(args.channels), settings);
    }
    return settings;
}

} // namespace korvane
