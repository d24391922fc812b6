#include "python/ConversionErrors.h"

#include "job/ErrorCode.h"
#include "job/StoredLanguage.h"

namespace py = pybind11;

namespace korvane {

namespace {
// Created once with the module and never freed, as every module's exception types are.
PyObject* g_conversionError = nullptr;
PyObject* g_notMidiError = nullptr;

constexpr const char* kConversionErrorDoc =
    "A conversion failed.\n\n"
    "code    -- the report's stable error code: 'input-unreadable', 'output-uncreatable',\n"
    "           'output-is-input', 'write-failed' or 'not-midi'\n"
    "reason  -- the system's reason ('No space left on device'), or None\n"
    "message -- the message in the language chosen in Korvane's About box\n"
    "path    -- the input's path, or None for bytes";

constexpr const char* kNotMidiErrorDoc =
    "The input was refused: it holds no MIDI header in its first 4 KiB. Its code is 'not-midi'.";

// A path as Python shows it: bytes that are not UTF-8 as surrogate escapes, as os.fsdecode does.
py::object ShownPath(const std::string& path) {
    if (path.empty()) {
        return py::none();
    }
    return py::module_::import("os").attr("fsdecode")(py::bytes(path));
}

py::str ShownText(const py::str& message, const std::string& reason, const py::object& path) {
    py::str text = path.is_none() ? message : py::str("{}: {}").format(path, message);
    return reason.empty() ? text : py::str("{} ({})").format(text, reason);
}
} // namespace

void DefineConversionErrors(py::module_& module) {
    g_conversionError = PyErr_NewExceptionWithDoc("korvane.ConversionError", kConversionErrorDoc,
                                                  PyExc_Exception, nullptr);
    g_notMidiError = PyErr_NewExceptionWithDoc("korvane.NotMidiError", kNotMidiErrorDoc,
                                               g_conversionError, nullptr);
    if (g_conversionError == nullptr || g_notMidiError == nullptr) {
        throw py::error_already_set();
    }
    module.add_object("ConversionError", py::handle(g_conversionError));
    module.add_object("NotMidiError", py::handle(g_notMidiError));
}

void RaiseConversionError(JobMessage message, const std::string& reason,
                          const std::string& shownPath) {
    const py::str text(MessageText(*StoredLanguageTexts(Profile()), message));
    const py::object path = ShownPath(shownPath);
    PyObject* type = message == JobMessage::NotMidi ? g_notMidiError : g_conversionError;
    py::object error = py::reinterpret_borrow<py::object>(type)(ShownText(text, reason, path));
    error.attr("code") = ErrorCode(message);
    error.attr("reason") = reason.empty() ? py::object(py::none()) : py::str(reason);
    error.attr("message") = text;
    error.attr("path") = path;
    PyErr_SetObject(type, error.ptr());
    throw py::error_already_set();
}

} // namespace korvane
