// The waiting line of title downloads.
#include "web/TitleQueue.h"

namespace {

uint32_t& At(TitleQueue& queue, int index) {
    return queue.serial[(queue.first + index) % TitleQueueCapacity];
}

// Keeps the live serials in their order.
void DropGone(TitleQueue& queue, IsLiveSerial isLive) {
    int kept = 0;
    for (int i = 0; i < queue.count; ++i) {
        const uint32_t serial = At(queue, i);
        if (isLive(serial) == 1) {
            At(queue, kept++) = serial;
        }
    }
    queue.count = kept;
}

} // namespace

void InitTitleQueue(TitleQueue& queue) {
    queue.first = 0;
    queue.count = 0;
    for (uint32_t& serial : queue.serial) {
        serial = 0;
    }
}

void EnqueueTitle(TitleQueue& queue, uint32_t serial, IsLiveSerial isLive) {
    if (queue.count == TitleQueueCapacity) {
        DropGone(queue, isLive);
    }
    if (queue.count == TitleQueueCapacity) {
        queue.first = (queue.first + 1) % TitleQueueCapacity;
        --queue.count;
    }
    At(queue, queue.count++) = serial;
}

int MayStartDownload(int running, int threads) {
    return running < MaxRunningDownloads && threads < MaxDownloadThreads ? 1 : 0;
}

uint32_t TakeNextTitle(TitleQueue& queue, IsLiveSerial isLive) {
    while (queue.count > 0) {
        const uint32_t serial = At(queue, 0);
        queue.first = (queue.first + 1) % TitleQueueCapacity;
        --queue.count;
        if (isLive(serial) == 1) {
            return serial;
        }
    }
    return 0;
}
