// Scratch folders, and whole-file reads and writes, for the Windows tests.
#include "support/ScratchFolder_win.h"

#include <shfolder.h>

#include <cstdio>

TempFolder::TempFolder() {
    static int serial = 0;
    char base[MAX_PATH] = {};
    GetTempPathA(sizeof base, base);
    char name[MAX_PATH + 64];
    // Bounded: a temporary directory that refuses new folders must fail the test, not hang it.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::snprintf(name, sizeof name, "%scwshell-%lu-%d", base, GetCurrentProcessId(), ++serial);
        if (CreateDirectoryA(name, nullptr)) {
            path_ = name;
            return;
        }
    }
}

TempFolder::~TempFolder() {
    // Without a folder, File("*") would name the drive's root.
    if (path_.empty()) {
        return;
    }
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(File("*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                const std::string file = File(found.cFileName);
                SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(file.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
}

ScratchDirectory::ScratchDirectory() : previous_(), entered_(false) {
    GetCurrentDirectoryA(sizeof previous_, previous_);
    entered_ = !folder_.path().empty() && SetCurrentDirectoryA(folder_.path().c_str());
}

ScratchDirectory::~ScratchDirectory() {
    SetCurrentDirectoryA(previous_);
}

std::string ReadWholeFile(const std::string& path, DWORD share) {
    std::string text;
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.valid()) {
        return text;
    }
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        text.append(buffer, got);
    }
    return text;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, DWORD attributes) {
    // CREATE_ALWAYS refuses to replace a hidden file unless the new one is hidden too.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
    if (!file.valid()) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return ok && written == bytes.size();
}

std::string LocalAppDataFolder() {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, path);
    return path;
}
