// Page titles of captured URLs: the bounded download of a page's beginning and its title,
// converted to Shift_JIS by nkf32.dll.
#pragma once

// Downloads the first 1024 bytes of url's body and copies the text between <title> and
// </title> into destination (capacity counts the terminating zero). Returns the title's byte
// length; 0 when there is no title, it is empty, or the page cannot be had.
int FetchPageTitle(const char* url, char* destination, int capacity);

// The title an entry for url gets: the converted page title, or "ページタイトル不明". The
// buffer comes from the general heap; release it with ReleasePageTitle. Null only when out of
// memory.
char* GetPageTitle(const char* url);
void ReleasePageTitle(char* title);
