// nkf32.dll's exports (interim: the input is copied unchanged, bounded to 1023 bytes).
#include "nkf32.h"

#include <cstring>

extern "C" int WINAPI SetNkfOption(const char*) { return 1; }

extern "C" void WINAPI NkfConvert(char* out, const char* in) {
    size_t n = std::strlen(in);
    if (n > 1023) {
        n = 1023;
    }
    std::memcpy(out, in, n);
    out[n] = '\0';
}
