// Case-insensitive byte search over ASCII letters.
#include "base/AsciiSearch.h"

#include <cstring>

int SameIgnoringAsciiCase(const char* a, const char* b, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return 0;
        }
    }
    return 1;
}

const char* FindIgnoringAsciiCase(const char* begin, const char* end, const char* pattern, size_t length) {
    if (length == 0) {
        return begin;
    }
    const char first = AsciiLower(pattern[0]);
    const bool firstIsLetter = first >= 'a' && first <= 'z';
    for (const char* p = begin; end - p >= static_cast<std::ptrdiff_t>(length);) {
        if (!firstIsLetter) {
            // A first byte with no other case lets memchr find the candidates.
            const void* hit = std::memchr(p, first, static_cast<size_t>(end - p) - length + 1);
            if (!hit) {
                return nullptr;
            }
            p = static_cast<const char*>(hit);
        }
        if (AsciiLower(*p) == first && SameIgnoringAsciiCase(p, pattern, length) == 1) {
            return p;
        }
        ++p;
    }
    return nullptr;
}
