// Percent-encoding of single bytes in addresses (%XX, upper-case hex, as RFC 3986 recommends).
// Portable: no <windows.h>.
#pragma once

#include <string>

inline void AppendPercentEncoded(std::string& out, unsigned char b) {
    static const char Hex[] = "0123456789ABCDEF";
    out += '%';
    out += Hex[b >> 4];
    out += Hex[b & 0x0F];
}

// address with every byte from 0x80 up percent-encoded, the rest as it is: an address that goes
// out as ASCII means the same Shift_JIS bytes whatever code page the system would read it in.
inline std::string PercentEncodeHighBytes(const char* address) {
    std::string out;
    for (const char* p = address; p && *p; ++p) {
        const unsigned char b = static_cast<unsigned char>(*p);
        if (b >= 0x80) {
            AppendPercentEncoded(out, b);
        } else {
            out += *p;
        }
    }
    return out;
}
