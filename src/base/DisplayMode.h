// The display-mode flag word: exactly one text mode plus the independent list bit. The text mode
// also says what a capture takes, so capture and the views both read it. Portable.
#pragma once

#include <cstdint>

struct DisplayMode {
    static constexpr int32_t UrlOnly = 1;
    static constexpr int32_t UrlTitle = 2;
    static constexpr int32_t UrlText = 4;
    static constexpr int32_t ListDisplay = 0x40;
};
