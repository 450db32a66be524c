// Conversions between the program's Shift_JIS texts and UTF-16.
#include "base/Cp932_win.h"

namespace {

std::wstring WideFromCodePage(UINT codePage, const char* text) {
    std::wstring wide;
    if (!text || !*text) {
        return wide;
    }
    const int units = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (units <= 1) {
        return wide;
    }
    wide.resize(static_cast<size_t>(units));
    MultiByteToWideChar(codePage, 0, text, -1, &wide[0], units);
    wide.resize(static_cast<size_t>(units - 1));
    return wide;
}

} // namespace

std::wstring WideFrom(const char* text) {
    return WideFromCodePage(ProgramCodePage, text);
}

std::wstring WideFromSystem(const char* text) {
    return WideFromCodePage(CP_ACP, text);
}

int Cp932From(const WCHAR* text, int units, char* out, int outBytes) {
    if (!text || units <= 0 || !out || outBytes <= 0) {
        return 0;
    }
    const int length =
        WideCharToMultiByte(ProgramCodePage, WC_NO_BEST_FIT_CHARS, text, units, out, outBytes, "?", nullptr);
    return length > 0 ? length : 0;
}

std::string Cp932From(const WCHAR* text) {
    std::string bytes;
    const int units = text ? lstrlenW(text) : 0;
    if (units == 0) {
        return bytes;
    }
    bytes.resize(2 * static_cast<size_t>(units));
    bytes.resize(static_cast<size_t>(Cp932From(text, units, &bytes[0], static_cast<int>(bytes.size()))));
    return bytes;
}
