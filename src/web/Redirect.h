// Redirections a download follows itself: which answers redirect, where a Location leads from
// the current address, and when a chain has gone on long enough. Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

// Hops a download follows at most; one more gives the fallback.
constexpr int MaxRedirects = 10;

// 1 for the statuses that send the client on to their Location (301, 302, 303, 307, 308).
int IsRedirectStatus(unsigned status);

// Resolves location (absolute, scheme-relative, rooted, a query or a relative path, with dot
// segments) against base, an absolute http or https address, into destination. Spaces and tabs
// around location are ignored; a fragment is dropped, since it is never sent. Returns 1 when the
// result is an http or https address that fits capacity (terminating zero included), else 0.
int ResolveLocation(const char* base, const char* location, char* destination, size_t capacity);

enum class HopVerdict {
    Follow,  // a new address, within the hops allowed
    Loop,    // an address the chain has already visited
    TooMany, // a new address, one hop more than allowed
};

// The addresses one download has visited, as hashes.
struct RedirectTrail {
    int hops;
    uint64_t seen[MaxRedirects + 1];
};

// The trail of a download that starts at url.
void StartTrail(RedirectTrail& trail, const char* url);
// Records the hop to url and says whether to follow it.
HopVerdict NextHop(RedirectTrail& trail, const char* url);
