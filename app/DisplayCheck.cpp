#include "app/DisplayCheck.h"

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <xcb/xcb.h>

namespace korvane {
namespace {
std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

bool WaylandAnswers() {
    const std::string display = Environment("WAYLAND_DISPLAY");
    if (display.empty()) {
        return false;
    }
    const std::string socket =
        display.front() == '/' ? display : Environment("XDG_RUNTIME_DIR") + "/" + display;
    struct stat st {};
    return ::stat(socket.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

bool X11Answers() {
    if (Environment("DISPLAY").empty()) {
        return false;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}
} // namespace

bool DisplayNamed() {
    return !Environment("DISPLAY").empty() || !Environment("WAYLAND_DISPLAY").empty();
}

bool DisplayReachable() {
    if (!DisplayNamed()) {
        return false;
    }
    // A platform chosen explicitly (offscreen, vnc, ...) is Qt's to open; only the two that
    // talk to a display server are checked here.
    const std::string platform = Environment("QT_QPA_PLATFORM");
    if (!platform.empty() && platform != "xcb" && platform.rfind("wayland", 0) != 0) {
        return true;
    }
    return WaylandAnswers() || X11Answers();
}

} // namespace korvane
