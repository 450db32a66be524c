// The title cut-out: the text between <title> and </title> in the first kilobyte of a body.
#include "web/TitleExtract.h"

#include <cstring>

namespace {

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// First position in [from, end) where pattern (lower-case ASCII) starts, ignoring ASCII case, or
// null. Every byte position is tried: a '<' is never the trail byte of a Shift_JIS character, so
// a match cannot start inside one, and stepping by whole characters would misread UTF-8 and
// EUC-JP pages.
const char* FindIgnoringCase(const char* from, const char* end, const char* pattern) {
    const size_t n = std::strlen(pattern);
    for (const char* p = from; static_cast<size_t>(end - p) >= n; ++p) {
        size_t i = 0;
        while (i < n && AsciiLower(p[i]) == pattern[i]) {
            ++i;
        }
        if (i == n) {
            return p;
        }
    }
    return nullptr;
}

} // namespace

int ExtractPageTitle(const char* body, size_t length, char* destination, int capacity) {
    if (!body || !destination || capacity <= 0) {
        return 0;
    }
    if (length > static_cast<size_t>(PageHeadBytes)) {
        length = PageHeadBytes;
    }
    const void* zero = std::memchr(body, '\0', length);
    const char* end = zero ? static_cast<const char*>(zero) : body + length;

    static const char startTag[] = "<title>";
    static const char endTag[] = "</title>";
    const char* start = FindIgnoringCase(body, end, startTag);
    if (!start) {
        return 0;
    }
    const char* title = start + (sizeof startTag - 1);
    const char* stop = FindIgnoringCase(title, end, endTag);
    if (!stop) {
        return 0;
    }
    size_t n = static_cast<size_t>(stop - title);
    if (n > static_cast<size_t>(capacity - 1)) {
        n = static_cast<size_t>(capacity - 1);
    }
    std::memcpy(destination, title, n);
    destination[n] = '\0';
    return static_cast<int>(n);
}
