// Every Japanese text the program shows, in one place; the compiler makes them Shift_JIS bytes.
// Portable: no <windows.h>.
#pragma once

// The title of an address entry until its page's title arrives, and for good when none does.
inline constexpr char PageTitleFallback[] = "ページタイトル不明";
