// Why an entry kept the fallback title, and the one debug line that says so. The line names the
// entry's serial, never its address: any program in the session can read debug output.
// Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

enum class TitleFailure : uint8_t {
    None,               // a title was found (it may still convert to nothing)
    NotStarted,         // no thread, or WinINet could not be loaded
    BadAddress,         // WinINet could not take the address apart
    NetworkError,       // a WinINet call failed: code is its error
    Refused,            // the HTTP status (a proxy asking for a password): code
    Timeout,            // the bound passed during step
    RedirectLoop,       // a redirection led back to an address already visited
    TooManyRedirects,   // more than MaxRedirects hops
    BadRedirect,        // a redirection to no http or https address
    NoTitle,            // no title in the first kilobyte of the final page (HTTP status: code)
    ConvertedToNothing, // the title has no character Shift_JIS can show
};

// Where a download was when it failed.
enum class DownloadStep : uint8_t {
    Connecting, // opening the session and the connection
    Sending,    // request sent, its answer's headers awaited
    Reading,    // reading the body
};

struct TitleFailureNote {
    TitleFailure failure;
    DownloadStep step;
    uint8_t hop;   // redirections followed before it failed
    uint32_t code; // the WinINet error or the HTTP status, 0 when there is none
};

// Writes the line for the entry with this serial into destination (zero-terminated, cut to
// capacity); "" for TitleFailure::None.
void FormatTitleFailure(uint32_t serial, const TitleFailureNote& note, char* destination, size_t capacity);
