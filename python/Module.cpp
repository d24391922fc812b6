#include "python/ConversionErrors.h"
#include "python/ConversionResult.h"
#include "python/Conversions.h"
#include "python/FolderConversion.h"
#include "python/Settings.h"

#include <pybind11/stl.h>

namespace py = pybind11;
using namespace pybind11::literals;

namespace korvane {
namespace {

constexpr const char* kModuleDoc =
    "Korvane repairs and adjusts Standard MIDI Files: the same conversion as the korvane\n"
    "command, byte for byte, from Python. Damaged files are repaired, not refused: stuck\n"
    "notes, tracks without End of Track, events and tracks cut short, wrong chunk lengths,\n"
    "junk between chunks and RIFF wrapping. Only an input with no MIDI header in its first\n"
    "4 KiB raises NotMidiError.\n\n"
    "convert, check and convert_file release the interpreter's lock while they work, so a\n"
    "thread pool converts on every core. korvane.dask converts collections on a Dask cluster.";

constexpr const char* kSettingsDoc =
    "Settings (keyword only, the command line's options and ranges):\n"
    "  speed=100            tempo in percent, 0 to 100000\n"
    "  dynamic_range=500    0 to 1000: below 500 narrows, above 500 widens the velocities\n"
    "                       around 64\n"
    "  volume=500           0 to 1000: below 500 louder, above 500 softer\n"
    "  fix_stuck_notes=False  release every note before the same key is struck again\n"
    "  keep_bars=False      with speed: scale the tempo instead of the ticks, so bar lines\n"
    "                       stay in place (files with SMPTE time, and speed 0, scale the\n"
    "                       ticks)\n"
    "  channels=None        map the levels of these channels only: '1-9,11-16' or a list\n"
    "                       of channel numbers 1 to 16 (None: all)\n"
    "  peak=None            after the range and volume, scale the Note On velocities of\n"
    "                       those channels so that the loudest is peak, 1 to 127; the\n"
    "                       result's gain says by how much\n\n"
    "A value out of range raises ValueError with the command line's words, a value of the\n"
    "wrong type TypeError. A failed conversion raises ConversionError (NotMidiError for an\n"
    "input that is no MIDI file) with its code, reason and message.";

const std::string kConvertDoc =
    std::string("convert(data_or_path, *, speed=100, dynamic_range=500, volume=500,\n"
                "        fix_stuck_notes=False, keep_bars=False, channels=None, peak=None)\n\n"
                "Converts a MIDI file into memory, as 'korvane --output=OUT.mid' writes it.\n"
                "data_or_path is the file's path (str or os.PathLike) or its bytes (any\n"
                "bytes-like object). Returns a Result whose data holds the converted file.\n\n") +
    kSettingsDoc;

const std::string kCheckDoc =
    std::string("check(data_or_path, **settings)\n\n"
                "Reads a MIDI file as a conversion would and writes nothing, as 'korvane\n"
                "--check' does. Returns a Result without data whose status is 'converted' or\n"
                "'would-repair', and whose repairs say what a conversion would repair.\n\n") +
    kSettingsDoc;

const std::string kConvertFileDoc =
    std::string("convert_file(src, dst, **settings)\n\n"
                "Converts src into dst as 'korvane --output=DST SRC' does: dst is written in a\n"
                "temporary file, synced and renamed over dst only once the conversion has\n"
                "succeeded, so a failure leaves an earlier dst as it was and no other file. A\n"
                "link at dst is followed, dst naming src is refused. Returns a Result without\n"
                "data.\n\n") +
    kSettingsDoc;

constexpr const char* kResultDoc =
    "What a conversion did.\n\n"
    "data      -- the converted file (bytes) from convert; None from check and convert_file\n"
    "status    -- 'converted', or 'repaired' when anything was mended ('would-repair' from\n"
    "             check), as the report of a command-line run says\n"
    "repairs   -- a dict of the report's repair counts: tracks_closed, events_dropped, ...\n"
    "chunks_kept -- vendor chunks copied unchanged (no repair)\n"
    "bytes_in, bytes_out -- the input's length, the bytes written (0 from check)\n"
    "gain      -- the gain peak put on the velocities; None without peak";

void DefineResult(py::module_& module) {
    py::class_<ConversionResult>(module, "Result", kResultDoc)
        .def_readonly("data", &ConversionResult::data)
        .def_readonly("status", &ConversionResult::status)
        .def_property_readonly("repairs", &ConversionResult::Repairs)
        .def_property_readonly("chunks_kept",
                               [](const ConversionResult& r) { return r.repairs.chunksCopied; })
        .def_readonly("bytes_in", &ConversionResult::bytesIn)
        .def_readonly("bytes_out", &ConversionResult::bytesOut)
        .def_readonly("gain", &ConversionResult::gain)
        .def(py::pickle([](const ConversionResult& r) { return r.State(); },
                        [](const py::tuple& state) { return ConversionResult::FromState(state); }))
        .def("__repr__", [](const ConversionResult& r) {
            return "<korvane.Result " + r.status + ", " + std::to_string(r.bytesIn) + " -> " +
                   std::to_string(r.bytesOut) + " bytes>";
        });
}

SettingsArgs ArgsOf(const py::object& speed, const py::object& dynamicRange,
                    const py::object& volume, bool fixStuckNotes, bool keepBars,
                    const py::object& channels, const py::object& peak) {
    return {speed, dynamicRange, volume, fixStuckNotes, keepBars, channels, peak};
}

// The keyword-only settings every conversion takes, after its positional arguments.
#define KORVANE_SETTINGS_ARGS                                                                      \
    py::kw_only(), "speed"_a = 100, "dynamic_range"_a = 500, "volume"_a = 500,                     \
                   "fix_stuck_notes"_a = false, "keep_bars"_a = false, "channels"_a = py::none(),  \
                   "peak"_a = py::none()

void DefineConversions(py::module_& module) {
    module.def(
        "convert",
        [](const py::object& source, const py::object& speed, const py::object& dynamicRange,
           const py::object& volume, bool fixStuckNotes, bool keepBars, const py::object& channels,
           const py::object& peak) {
            return ConvertToMemory(source,
                                   CheckSettings(ArgsOf(speed, dynamicRange, volume, fixStuckNotes,
                                                        keepBars, channels, peak)));
        },
        kConvertDoc.c_str(), "data_or_path"_a, KORVANE_SETTINGS_ARGS);
    module.def(
        "check",
        [](const py::object& source, const py::object& speed, const py::object& dynamicRange,
           const py::object& volume, bool fixStuckNotes, bool keepBars, const py::object& channels,
           const py::object& peak) {
            return CheckSource(source,
                               CheckSettings(ArgsOf(speed, dynamicRange, volume, fixStuckNotes,
                                                    keepBars, channels, peak)));
        },
        kCheckDoc.c_str(), "data_or_path"_a, KORVANE_SETTINGS_ARGS);
    module.def(
        "convert_file",
        [](const py::object& source, const py::object& target, const py::object& speed,
           const py::object& dynamicRange, const py::object& volume, bool fixStuckNotes,
           bool keepBars, const py::object& channels, const py::object& peak) {
            return ConvertToFile(source, target,
                                 CheckSettings(ArgsOf(speed, dynamicRange, volume, fixStuckNotes,
                                                      keepBars, channels, peak)));
        },
        kConvertFileDoc.c_str(), "src"_a, "dst"_a, KORVANE_SETTINGS_ARGS);
}

// What korvane.dask asks of the engine: the outputs' names and collisions, and the conversion
// of a partition's files on a worker.
void DefineFolderConversion(py::module_& module) {
    module.def(
        "_plan_folder_outputs",
        [](const std::vector<py::object>& inputs, const py::object& folder, bool keepNames) {
            std::vector<std::string> paths;
            for (const py::object& input : inputs) {
                paths.push_back(SystemPath(input));
            }
            py::list plan;
            for (const PlannedOutput& planned :
                 PlanFolderOutputs(paths, SystemPath(folder), keepNames)) {
                plan.append(py::make_tuple(py::bytes(planned.output), planned.collides));
            }
            return plan;
        },
        "inputs"_a, "folder"_a, "keep_names"_a);
    py::class_<FolderConversion>(module, "_FolderConversion")
        .def(py::init([](const py::object& folder, const py::object& speed,
                         const py::object& dynamicRange, const py::object& volume,
                         bool fixStuckNotes, bool keepBars, const py::object& channels,
                         const py::object& peak) {
                 return new FolderConversion(
                     SystemPath(folder),
                     CheckSettings(ArgsOf(speed, dynamicRange, volume, fixStuckNotes, keepBars,
                                          channels, peak)));
             }),
             "folder"_a, KORVANE_SETTINGS_ARGS)
        .def(
            "convert",
            [](FolderConversion& conversion, const py::object& input, const py::bytes& output,
               bool collides) { return conversion.Convert(SystemPath(input), output, collides); },
            "input"_a, "output"_a, "collides"_a);
}

} // namespace
} // namespace korvane

PYBIND11_MODULE(_korvane, module) {
    // Each docstring starts with its signature as the manual writes it.
    py::options options;
    options.disable_function_signatures();
    module.doc() = korvane::kModuleDoc;
    korvane::DefineConversionErrors(module);
    korvane::DefineResult(module);
    korvane::DefineConversions(module);
    korvane::DefineFolderConversion(module);
}
