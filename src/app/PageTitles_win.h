// Page titles on the main window: a new address entry's download is queued and started, and its
// result is put on the entry when it arrives, wherever the entry has moved meanwhile.
#pragma once

#include <windows.h>

#include <cstdint>

// Results are posted to window from now on (at its creation).
void AcceptTitlesFor(HWND window);

// Queues the title download of the new address entry with this serial, in copy order, and
// starts what may start. Nothing happens once titles are no longer accepted.
void RequestPageTitle(uint32_t serial);

// PageTitleMessage: converts the title and puts it on the live entry with that serial (a deleted
// entry's title is dropped, a failed download leaves the fallback), asks for a rebuild, and
// starts the downloads that were waiting for this one.
void OnPageTitle(WPARAM serial, LPARAM result);

// The end: no title is taken any more and no waiting download starts. Downloads still running
// drop their results where they are made.
void StopTitles();
