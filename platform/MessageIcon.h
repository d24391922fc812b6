#pragma once

namespace korvane {

// The icon a message is shown with; the command line prints the text alone.
enum class MessageIcon { Stop, Information, Exclamation };

} // namespace korvane
