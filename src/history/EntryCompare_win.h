// Whether two entries hold the same text: the one comparison of the capture's duplicate search
// and of the merge of a history file read late.
#pragma once

#include <windows.h>

#include "base/Cp932_win.h"

// 0 when a and b are equal without regard to letter case, as lstrcmpiA compares on a Japanese
// system whatever this one's code page: ASCII, full-width Latin, Greek and Cyrillic letters fold;
// kana and the two widths do not. Compared in UTF-16, so that no code page but 932 reads them.
inline int CompareEntryTexts(const char* a, const char* b) {
    const std::wstring wideA = WideFrom(a);
    const std::wstring wideB = WideFrom(b);
    return CompareStringW(JapaneseLocale, NORM_IGNORECASE, wideA.c_str(), static_cast<int>(wideA.size()),
                          wideB.c_str(), static_cast<int>(wideB.size())) -
           CSTR_EQUAL;
}
