// Fuzzes the title cut-out with arbitrary page bodies and capacities: the title must be a
// zero-terminated copy of bytes that stand between the tags in the first kilobyte.
#include "web/TitleExtract.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte picks the capacity, so cuts of every length are tried as well as 1023.
    int capacity = 1023;
    if (size > 0) {
        capacity = data[0] == 0 ? 1023 : data[0] - 8;
        ++data;
        --size;
    }
    const char* body = reinterpret_cast<const char*>(data);
    char destination[1024];
    std::memset(destination, 0x55, sizeof destination);
    int n = ExtractPageTitle(body, size, destination, capacity);
    if (n < 0 || (capacity <= 0 && n != 0)) {
        std::abort();
    }
    // Untouched means no title; a title may itself begin with the filler byte.
    if (capacity <= 0 || (n == 0 && destination[0] == 0x55)) {
        return 0;
    }
    if (n >= capacity || std::strlen(destination) != static_cast<size_t>(n)) {
        std::abort();
    }
    // The title is a run of the body's first kilobyte that follows "<title>" and holds no zero.
    size_t window = size < 1024 ? size : 1024;
    bool found = false;
    for (size_t at = 7; at + static_cast<size_t>(n) <= window && !found; ++at) {
        found = std::memcmp(body + at, destination, static_cast<size_t>(n)) == 0 &&
                std::memchr(body, 0, at + static_cast<size_t>(n)) == nullptr;
    }
    if (!found) {
        std::abort();
    }
    return 0;
}
