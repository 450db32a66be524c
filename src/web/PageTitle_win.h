// Page titles of captured URLs: the bounded download of a page's beginning and its title,
// converted to Shift_JIS by nkf32.dll.
#pragma once

// The longest a download may keep its caller waiting, name resolution and proxy detection
// included. The clipboard tick waits for the title on the window's thread, so this is also how
// long the window may stop responding per captured URL: enough for an ordinary page, short of
// the point where the user takes the program for hung and kills it, losing the run's history.
// WinINet's own time-outs count per operation and would not bound the total.
constexpr unsigned PageFetchDeadlineMs = 5000;

// Downloads the first 1024 bytes of url's body (fewer when the body ends or the deadline
// passes first) and copies the text between <title> and </title> into destination (capacity
// counts the terminating zero). Returns the title's byte length; 0 when there is no title, it
// is empty, or the page cannot be had. The HTTP status is not looked at.
int FetchPageTitle(const char* url, char* destination, int capacity);

// The title an entry for url gets: the converted page title, or "ページタイトル不明". The
// buffer comes from the general heap; release it with ReleasePageTitle (or let a HeapBlock of
// GeneralHeap() take it over). Null only when out of memory.
char* GetPageTitle(const char* url);
void ReleasePageTitle(char* title);
