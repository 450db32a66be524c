// The VirtualStore path of a file in a folder.
#include "history/VirtualStorePath.h"

#include <cstring>

#include "base/AsciiSearch.h"

int ComposeVirtualStorePath(const char* localAppData, const char* folder, const char* name, char* out,
                            size_t size) {
    if (!IsAsciiLetter(folder[0]) || folder[1] != ':' || folder[2] != '\\') {
        return 0;
    }
    // "\Program Files (x86)\Tool", or nothing for the drive's root. Only the drive's own
    // backslash is looked at: a Shift_JIS character may end in the byte of a backslash.
    const char* rest = folder[3] == '\0' ? "" : folder + 2;
    static const char store[] = "\\VirtualStore";
    const size_t length = std::strlen(localAppData) + sizeof store - 1 + std::strlen(rest) + 1 + std::strlen(name);
    if (length + 1 > size) {
        return 0;
    }
    std::strcpy(out, localAppData);
    std::strcat(out, store);
    std::strcat(out, rest);
    std::strcat(out, "\\");
    std::strcat(out, name);
    return 1;
}
