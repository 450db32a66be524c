// Page titles of captured URLs: the bound of a page's download, and the conversion of the
// downloaded title to Shift_JIS by nkf32.dll. An entry's title until then is PageTitleFallback
// (base/UiTexts.h).
#pragma once

#include <cstdint>

struct PageTitleResult;

// The longest a download runs, counted from its start, name resolution and proxy detection
// included; at this bound its result is handed over with what has arrived. WinINet's own
// time-outs count per operation (a server that trickles never trips them) and would not bound
// the total.
constexpr unsigned PageFetchDeadlineMs = 5000;

// Room for a converted title, its terminating zero included.
constexpr int ConvertedTitleBytes = 1024;

// Converts result's raw title, read in the encoding its page declares (or recognised when it
// declares none, or one its bytes contradict), into destination (ConvertedTitleBytes). Returns 1
// when there is a title to show; 0 when the download found none or it converts to nothing, and
// the entry keeps the fallback. nkf32 keeps its option per process and the option and the
// conversion belong together: call this on the window's thread only.
int ConvertPageTitle(const PageTitleResult& result, char* destination);

// Writes one debug line (OutputDebugStringA) for the entry with this serial when it keeps the
// fallback: why its download found no title, or, when converted is 0 for a title it found, that
// the title converted to nothing. A null result is a download that could not start.
void TraceFallback(uint32_t serial, const PageTitleResult* result, int converted);
