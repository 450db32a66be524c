// Reads what programs write with OutputDebugStringA while no debugger is attached, as DebugView
// does: through the shared DBWIN buffer of the session. Keeps the lines of one process.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "support/StoppableThread_win.h"

class DebugOutputReader {
public:
    // Starts reading the lines of the process with this id (this process by default); check ok().
    explicit DebugOutputReader(DWORD processId = GetCurrentProcessId());
    ~DebugOutputReader();
    DebugOutputReader(const DebugOutputReader&) = delete;
    DebugOutputReader& operator=(const DebugOutputReader&) = delete;

    bool ok() const { return view_ != nullptr; }
    // Every line read so far, in order.
    std::vector<std::string> Lines();
    // The lines read so far that contain text.
    std::vector<std::string> LinesWith(const std::string& text);

private:
    void Read();

    DWORD processId_;
    HANDLE mutex_ = nullptr;
    HANDLE bufferReady_ = nullptr;
    HANDLE dataReady_ = nullptr;
    HANDLE mapping_ = nullptr;
    void* view_ = nullptr;
    StoppableThread reader_;
    std::mutex linesMutex_;
    std::vector<std::string> lines_;
};
