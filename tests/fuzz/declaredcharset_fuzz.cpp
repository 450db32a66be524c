// Fuzzes the declared-encoding reader with arbitrary headers and page bodies: the answer must be
// one of the five option strings, and depend on nothing past the first kilobyte or a zero byte.
#include "web/DeclaredCharset.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte tells how many of the following bytes are the Content-Type value (up to
    // its first zero); 0 means there is no header.
    size_t headerLength = 0;
    bool header = false;
    if (size > 0) {
        header = data[0] != 0;
        headerLength = data[0] - (header ? 1u : 0u);
        ++data;
        --size;
    }
    if (headerLength > size) {
        headerLength = size;
    }
    const std::string contentType(reinterpret_cast<const char*>(data), headerLength);
    data += headerLength;
    size -= headerLength;
    // An exact-size copy, so that any read past the body is caught.
    const std::vector<char> body(data, data + size);
    const char* option = DeclaredNkfOption(header ? contentType.c_str() : nullptr, body.data(), body.size());
    static const char* const kOptions[] = {"s", "sS", "sE", "sJ", "sW"};
    bool known = false;
    for (const char* o : kOptions) {
        known = known || std::strcmp(option, o) == 0;
    }
    if (!known) {
        std::abort();
    }
    // The same answer from the bytes looked at alone, and with a declaration after them where
    // it must not be seen.
    size_t window = size < 1024 ? size : 1024;
    const void* zero = std::memchr(body.data(), 0, window);
    if (zero != nullptr) {
        window = static_cast<size_t>(static_cast<const char*>(zero) - body.data());
    }
    std::vector<char> head(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(window));
    if (std::strcmp(DeclaredNkfOption(header ? contentType.c_str() : nullptr, head.data(), head.size()), option) != 0) {
        std::abort();
    }
    if (zero != nullptr || size >= 1024) {
        if (zero != nullptr) {
            head.push_back('\0');
        }
        static const char kMeta[] = "\"'>--><meta charset=euc-jp>";
        head.insert(head.end(), kMeta, kMeta + sizeof kMeta - 1);
        if (std::strcmp(DeclaredNkfOption(header ? contentType.c_str() : nullptr, head.data(), head.size()), option) != 0) {
            std::abort();
        }
    }
    return 0;
}
