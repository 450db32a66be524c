// Byte-wise shape test that decides whether a captured text is a web address.
#include "capture/UrlShape.h"

#include <cstring>

#include "base/ShiftJis.h"

int IsUrl(const char* text) {
    static const char Prefix[] = "http://";
    const size_t length = std::strlen(text);
    if (length < 10) {
        return 0;
    }
    if (std::memcmp(text, Prefix, sizeof Prefix - 1) != 0) {
        return 0;
    }
    // The last byte alone, even when it is the trail byte of a double-byte character.
    const unsigned char last = static_cast<unsigned char>(text[length - 1]);
    if (IsAlphaByteCp932(last) != 1 && last != '/') {
        return 0;
    }
    return std::strchr(text, '\n') ? 0 : 1;
}
