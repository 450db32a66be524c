// The cut and the fold over Shift_JIS bytes.
#include "base/ShiftJis.h"

#include <cstring>

size_t CopyCutText(char* destination, int capacity, const char* source, size_t sourceSize) {
    if (capacity < 1) {
        return 0;
    }
    const size_t limit = capacity >= 2 ? static_cast<size_t>(capacity - 2) : 0;
    size_t end = 0;
    // Walk character by character from the start: a trail byte can have a lead byte's value, so
    // only the walk knows where characters begin.
    while (end < limit && end < sourceSize && source[end] != '\0') {
        const bool pair = IsLeadByteCp932(static_cast<unsigned char>(source[end])) == 1 &&
                          end + 1 < sourceSize && source[end + 1] != '\0';
        if (!pair) {
            ++end;
        } else if (end + 2 <= limit) {
            end += 2;
        } else {
            break;
        }
    }
    std::memcpy(destination, source, end);
    destination[end] = '\0';
    return end;
}

namespace {

// One character of a zero-terminated Shift_JIS string as a 16-bit unit (lead byte high), folded
// to lower case; advances p past it.
unsigned FoldNextCp932(const unsigned char*& p) {
    unsigned lead = *p++;
    if (IsLeadByteCp932(static_cast<unsigned char>(lead)) != 1 || *p == 0) {
        return (lead >= 'A' && lead <= 'Z') ? lead + ('a' - 'A') : lead;
    }
    unsigned trail = *p++;
    if (lead == 0x82 && trail >= 0x60 && trail <= 0x79) {
        trail += 0x21;
    } else if (lead == 0x83 && trail >= 0x9F && trail <= 0xB6) {
        trail += 0x20;
    } else if (lead == 0x84 && trail >= 0x40 && trail <= 0x60) {
        trail += 0x30;
        if (trail >= 0x7F) {
            ++trail; // 0x7F is never a trail byte
        }
    }
    return (lead << 8) | trail;
}

} // namespace

int CompareFoldCp932(const char* a, const char* b) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    while (*p && *q) {
        const unsigned x = FoldNextCp932(p);
        const unsigned y = FoldNextCp932(q);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return (*p ? 1 : 0) - (*q ? 1 : 0);
}
