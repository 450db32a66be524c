// The text mode of the display-mode word and which entry kinds each text mode shows.
#pragma once

#include <cstdint>

#include "base/DisplayMode.h"
#include "history/HistoryStore.h"

// The display-mode word without the list bit: 1, 2 or 4 when the word is well formed.
inline int32_t TextModeOf(int32_t displayMode) {
    return displayMode & ~DisplayMode::ListDisplay;
}

// 1 when an entry of this kind appears in the text view and the list of this text mode.
// Kinds other than Url and Text (possible only from an edited history file) appear in none.
inline int TextModeAdmits(int32_t textMode, EntryKind kind) {
    switch (textMode) {
    case DisplayMode::UrlOnly:
    case DisplayMode::UrlTitle:
        return kind == EntryKind::Url ? 1 : 0;
    case DisplayMode::UrlText:
        return kind == EntryKind::Url || kind == EntryKind::Text ? 1 : 0;
    default:
        return 0;
    }
}
