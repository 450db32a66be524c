// A test helper's own thread and the manual-reset event that asks it, and whatever it waits on,
// to stop.
#pragma once

#include <windows.h>

#include <thread>
#include <utility>

class StoppableThread {
public:
    StoppableThread() : stopping_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~StoppableThread() {
        Stop();
        if (stopping_) {
            CloseHandle(stopping_);
        }
    }
    StoppableThread(const StoppableThread&) = delete;
    StoppableThread& operator=(const StoppableThread&) = delete;

    bool ok() const { return stopping_ != nullptr; }
    // Set from the first Stop on.
    HANDLE stopping() const { return stopping_; }
    template <typename Run>
    void Start(Run run) {
        thread_ = std::thread(std::move(run));
    }
    // Sets the event and waits for the thread; later calls only find it set.
    void Stop() {
        if (stopping_) {
            SetEvent(stopping_);
        }
        if (thread_.joinable()) {
            thread_.join();
        }
    }

private:
    HANDLE stopping_;
    std::thread thread_;
};
