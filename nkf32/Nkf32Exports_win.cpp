// nkf32.dll's exports: the options of the process and the conversion they select.
#include "Nkf32Exports_win.h"

#include <atomic>

#include "Converter.h"

namespace {

// One setting per process, as callers expect of the library; atomic because any thread of the
// process may set it or convert.
std::atomic<int> g_input{static_cast<int>(nkf::Encoding::Auto)};

} // namespace

extern "C" int WINAPI SetNkfOption(const char* options) {
    g_input.store(static_cast<int>(nkf::ParseOptions(options).input));
    return 1;
}

extern "C" void WINAPI NkfConvert(char* out, const char* in) {
    if (out == nullptr) {
        return;
    }
    if (in == nullptr) {
        out[0] = '\0';
        return;
    }
    nkf::Options options;
    options.input = static_cast<nkf::Encoding>(g_input.load());
    nkf::Convert(in, out, options);
}
