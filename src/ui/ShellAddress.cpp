// Percent-encoding of the bytes a command line could misread, and the host check.
#include "ui/ShellAddress.h"

#include <cstring>

#include "base/AsciiSearch.h"
#include "base/PercentEncoding.h"
#include "base/ShiftJis.h"

namespace {

bool IsExcluded(unsigned char b) {
    if (b <= 0x20 || b == 0x7F) {
        return true;
    }
    return std::strchr("\"<>\\^`{|}", b) != nullptr;
}

// Bytes of the character at text[i]: 2 for a lead byte with its trail byte, else 1.
std::size_t CharacterLength(const unsigned char* text, std::size_t i, std::size_t length) {
    return IsLeadByteCp932(text[i]) == 1 && i + 1 < length && IsTrailByteCp932(text[i + 1]) == 1 ? 2 : 1;
}

// Whether the text starts with "scheme://" and a host: something other than a port right after
// the last userinfo '@' of the authority. Walked by characters, since a trail byte may be '@'
// (ァ is 83 40) and must not be taken for the userinfo's end.
bool HasHost(const unsigned char* text, std::size_t length) {
    std::size_t i = 0;
    if (length == 0 || !IsAsciiLetter(text[0])) {
        return false;
    }
    while (i < length && (IsAsciiLetter(text[i]) || (text[i] >= '0' && text[i] <= '9') || text[i] == '+' ||
                          text[i] == '-' || text[i] == '.')) {
        ++i;
    }
    if (length - i < 3 || std::memcmp(text + i, "://", 3) != 0) {
        return false;
    }
    i += 3;
    std::size_t hostStart = i;
    std::size_t end = i;
    while (end < length && text[end] != '/' && text[end] != '?' && text[end] != '#') {
        std::size_t n = CharacterLength(text, end, length);
        if (n == 1 && text[end] == '@') {
            hostStart = end + 1;
        }
        end += n;
    }
    return hostStart < end && text[hostStart] != ':';
}

} // namespace

int ComposeShellAddress(const char* address, std::string& out) {
    out.clear();
    if (!address) {
        return 0;
    }
    const unsigned char* text = reinterpret_cast<const unsigned char*>(address);
    const std::size_t length = std::strlen(address);
    if (!HasHost(text, length)) {
        return 0;
    }
    out.reserve(length);
    for (std::size_t i = 0; i < length;) {
        std::size_t n = CharacterLength(text, i, length);
        const unsigned char b = text[i];
        if (n == 2) {
            out.append(address + i, 2);
        } else if (IsExcluded(b) || IsLeadByteCp932(b) == 1) {
            AppendPercentEncoded(out, b);
        } else {
            out += static_cast<char>(b);
        }
        i += n;
        if (out.size() > MaxShellAddressBytes) {
            out.clear();
            return 0;
        }
    }
    return 1;
}
