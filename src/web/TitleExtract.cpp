// The title cut-out: the text between <title> and </title> in the first kilobyte of a body.
#include "web/TitleExtract.h"

#include <cstring>

#include "base/AsciiSearch.h"

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
    const char* start = FindIgnoringAsciiCase(body, end, startTag, sizeof startTag - 1);
    if (!start) {
        return 0;
    }
    const char* title = start + (sizeof startTag - 1);
    const char* stop = FindIgnoringAsciiCase(title, end, endTag, sizeof endTag - 1);
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
