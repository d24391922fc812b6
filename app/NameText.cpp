#include "app/NameText.h"

#include <cstdint>
#include <cstdio>

namespace korvane {

namespace {
// The length of the valid UTF-8 sequence at text[at], 0 when the byte begins none.
size_t SequenceLength(std::string_view text, size_t at) {
    const auto byte = [&text](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(at);
    if (lead < 0x80) {
        return 1;
    }
    size_t length = 0;
    uint32_t lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    uint32_t point = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        point = point << 6 | (byte(at + i) & 0x3F);
    }
    const bool surrogate = point >= 0xD800 && point <= 0xDFFF;
    return point < lowest || point > 0x10FFFF || surrogate ? 0 : length;
}

// The bidirectional controls (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069):
// a name holding one could show its letters in another order, the extension first.
bool IsBidiControl(std::string_view text, size_t at, size_t length) {
    const auto byte = [&text, at](size_t i) { return static_cast<uint8_t>(text[at + i]); };
    if (length == 2) {
        return byte(0) == 0xD8 && byte(1) == 0x9C;
    }
    if (length != 3 || byte(0) != 0xE2) {
        return false;
    }
    const uint8_t second = byte(1);
    const uint8_t third = byte(2);
    return (second == 0x80 &&
            (third == 0x8E || third == 0x8F || (third >= 0xAA && third <= 0xAE))) ||
           (second == 0x81 && third >= 0xA6 && third <= 0xA9);
}

void AppendEscaped(std::string& out, uint8_t byte) {
    switch (byte) {
    case '\a':
        out += "\\a";
        return;
    case '\b':
        out += "\\b";
        return;
    case '\t':
        out += "\\t";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\v':
        out += "\\v";
        return;
    case '\f':
        out += "\\f";
        return;
    case '\r':
        out += "\\r";
        return;
    default:
        char octal[8];
        std::snprintf(octal, sizeof octal, "\\%03o", byte);
        out += octal;
    }
}
} // namespace

bool IsUtf8(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        const size_t length = SequenceLength(text, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

std::string EscapeForTerminal(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const auto byte = static_cast<uint8_t>(text[at]);
        size_t length = SequenceLength(text, at);
        // U+0080 to U+009F, written C2 80 to C2 9F, are the C1 controls (CSI among them).
        const bool c1 = length == 2 && byte == 0xC2 && static_cast<uint8_t>(text[at + 1]) < 0xA0;
        if (byte == '\\') {
            out += "\\\\";
        } else if (length == 0) {
            AppendEscaped(out, byte);
            length = 1;
        } else if (c1 || IsBidiControl(text, at, length)) {
            for (size_t i = 0; i < length; ++i) {
                AppendEscaped(out, static_cast<uint8_t>(text[at + i]));
            }
        } else if (length == 1 && (byte < 0x20 || byte == 0x7F)) {
            AppendEscaped(out, byte);
        } else {
            out.append(text.substr(at, length));
        }
        at += length;
    }
    return out;
}

std::string Base64(std::string_view bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t at = 0; at < bytes.size(); at += 3) {
        const size_t left = bytes.size() - at;
        uint32_t group = static_cast<uint8_t>(bytes[at]) << 16;
        if (left > 1) {
            group |= static_cast<uint8_t>(bytes[at + 1]) << 8;
        }
        if (left > 2) {
            group |= static_cast<uint8_t>(bytes[at + 2]);
        }
        out += kDigits[group >> 18 & 63];
        out += kDigits[group >> 12 & 63];
        out += left > 1 ? kDigits[group >> 6 & 63] : '=';
        out += left > 2 ? kDigits[group & 63] : '=';
    }
    return out;
}

} // namespace korvane
