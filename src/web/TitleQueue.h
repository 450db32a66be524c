// The order and the limits of page-title downloads: new addresses wait their turn in copy order,
// at most MaxRunningDownloads run at once, and no more than MaxDownloadThreads download threads
// live at once, stuck ones included. Portable: no <windows.h>.
#pragma once

#include <cstdint>

// Downloads whose result has not been handed over yet.
constexpr int MaxRunningDownloads = 4;
// Download threads alive, including those given up at their bound and still blocked in the
// network library; while there are this many, no download starts.
constexpr int MaxDownloadThreads = 8;
// One more than the history can hold live, so a new entry always finds room once the entries
// that have left the history are dropped.
constexpr int TitleQueueCapacity = 128;

// Says whether the entry with this serial is still in the history.
using IsLiveSerial = int (*)(uint32_t serial);

// Serials of entries whose title download has not started yet, oldest first.
struct TitleQueue {
    uint32_t serial[TitleQueueCapacity];
    int32_t first;
    int32_t count;
};

void InitTitleQueue(TitleQueue& queue);

// Adds serial at the end. When the queue is full, the serials of entries that are no longer
// live are dropped first; only if none is (the caller broke its word that every serial it adds
// is a distinct live entry) the oldest is dropped.
void EnqueueTitle(TitleQueue& queue, uint32_t serial, IsLiveSerial isLive);

// 1 when one more download may start, with `running` downloads whose result is still to come
// and `threads` download threads alive.
int MayStartDownload(int running, int threads);

// Takes the oldest waiting serial whose entry is live, dropping those before it whose entry has
// gone (deleted, or pushed out of the history); 0 when none is left.
uint32_t TakeNextTitle(TitleQueue& queue, IsLiveSerial isLive);
