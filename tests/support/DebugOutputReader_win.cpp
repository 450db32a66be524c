// The DBWIN protocol: the reader signals DBWIN_BUFFER_READY, a writer fills DBWIN_BUFFER (its
// process id, then the zero-terminated text) and signals DBWIN_DATA_READY.
#include "support/DebugOutputReader_win.h"

#include <cstring>

namespace {

constexpr DWORD BufferBytes = 4096;

} // namespace

DebugOutputReader::DebugOutputReader(DWORD processId) : processId_(processId) {
    mutex_ = CreateMutexA(nullptr, FALSE, "DBWinMutex");
    bufferReady_ = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
    dataReady_ = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
    mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, BufferBytes, "DBWIN_BUFFER");
    if (bufferReady_ && dataReady_ && mapping_ && reader_.ok()) {
        view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, BufferBytes);
    }
    if (view_) {
        reader_.Start([this] { Read(); });
    }
}

DebugOutputReader::~DebugOutputReader() {
    reader_.Stop();
    if (view_) {
        UnmapViewOfFile(view_);
    }
    for (HANDLE handle : {mapping_, dataReady_, bufferReady_, mutex_}) {
        if (handle) {
            CloseHandle(handle);
        }
    }
}

std::vector<std::string> DebugOutputReader::Lines() {
    std::lock_guard<std::mutex> lock(linesMutex_);
    return lines_;
}

std::vector<std::string> DebugOutputReader::LinesWith(const std::string& text) {
    std::vector<std::string> found;
    for (const std::string& line : Lines()) {
        if (line.find(text) != std::string::npos) {
            found.push_back(line);
        }
    }
    return found;
}

void DebugOutputReader::Read() {
    const auto* buffer = static_cast<const char*>(view_);
    HANDLE events[] = {dataReady_, reader_.stopping()};
    for (;;) {
        SetEvent(bufferReady_);
        if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
            return;
        }
        DWORD writer = 0;
        std::memcpy(&writer, buffer, sizeof writer);
        const char* text = buffer + sizeof writer;
        const size_t length = strnlen(text, BufferBytes - sizeof writer);
        if (writer == processId_) {
            std::lock_guard<std::mutex> lock(linesMutex_);
            lines_.emplace_back(text, length);
        }
    }
}
