// The texts of the list's context menu and of the list actions' message boxes that are composed
// from an entry; the fixed ones are in base/UiTexts.h.
#pragma once

#include <string>

#include "history/HistoryStore.h"

// Text of the menu's first item: "[title]を開く" for a URL entry, "[TEXT] - title" for others.
std::string OpenItemText(EntryKind kind, const char* title);

// The message box that shows a text entry.
std::string ViewTextMessage(const char* title, const char* content);

// The question before one entry is deleted; the label names the entry's kind.
std::string DeleteOneMessage(EntryKind kind, const char* title, const char* content);

// The question before the checked entries are deleted; n in plain decimal digits.
std::string DeleteCheckedMessage(int checkedRows);
