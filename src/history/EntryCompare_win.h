// Whether two entries hold the same text: the one comparison of the capture's duplicate search
// and of the merge of a history file read late.
#pragma once

#include <windows.h>

// 0 when a and b are equal without regard to letter case, as lstrcmpiA compares in the ANSI code
// page: ASCII, full-width Latin, Greek and Cyrillic letters fold; kana and the two widths do not.
inline int CompareEntryTexts(const char* a, const char* b) {
    return lstrcmpiA(a, b);
}
