// The texts of the list's context menu and of the list actions' message boxes.
#pragma once

#include <string>

#include "history/HistoryStore.h"

inline constexpr char ViewTextCaption[] = "TEXT内容の確認";
inline constexpr char DeleteCaption[] = "削除の確認";
inline constexpr char NothingCheckedMessage[] = "項目が選択されていません。";
inline constexpr char RefusedAddressMessage[] = "このアドレスは開けません。";
inline constexpr char DeleteAllMessage[] = "全ての項目を削除しても良いですか？";
inline constexpr char DeleteOneItemText[] = "一件を削除";
inline constexpr char DeleteCheckedItemText[] = "複数項目（チェック選択）を削除";

// Text of the menu's first item: "[title]を開く" for a URL entry, "[TEXT] - title" for others.
std::string OpenItemText(EntryKind kind, const char* title);

// The message box that shows a text entry.
std::string ViewTextMessage(const char* title, const char* content);

// The question before one entry is deleted; the label names the entry's kind.
std::string DeleteOneMessage(EntryKind kind, const char* title, const char* content);

// The question before the checked entries are deleted; n in plain decimal digits.
std::string DeleteCheckedMessage(int checkedRows);
