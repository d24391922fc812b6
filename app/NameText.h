#pragma once

#include <string>
#include <string_view>

namespace korvane {

// How a file name, which may hold any byte but "/" and NUL, is shown.

// True when text is valid UTF-8.
bool IsUtf8(std::string_view text);

// The name as it may go to a terminal: control characters (C0, DEL, C1) and bytes that are not
// UTF-8 written as C escapes ("\t", "\033", "\200"), a backslash as "\\"; the rest unchanged.
std::string EscapeForTerminal(std::string_view text);

// The bytes in base64 (RFC 4648, padded), so a report keeps a name that is not UTF-8 exactly.
std::string Base64(std::string_view bytes);

} // namespace korvane
