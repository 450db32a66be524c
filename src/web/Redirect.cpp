// Redirection rules: the statuses, reference resolution and the trail of visited addresses.
#include "web/Redirect.h"

#include <cstring>

namespace {

bool IsSchemeStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSchemeByte(char c) {
    return IsSchemeStart(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// Length of reference's scheme, its colon excluded; 0 when it has none.
size_t SchemeLength(const char* reference, size_t length) {
    if (length == 0 || !IsSchemeStart(reference[0])) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if (reference[i] == ':') {
            return i;
        }
        if (!IsSchemeByte(reference[i])) {
            return 0;
        }
    }
    return 0;
}

bool SameLetters(const char* text, size_t length, const char* lower) {
    if (std::strlen(lower) != length) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        char c = text[i];
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (c != lower[i]) {
            return false;
        }
    }
    return true;
}

// A bounded string being built; ok turns false once something did not fit.
struct Builder {
    char* out;
    size_t capacity;
    size_t length;
    bool ok;

    void Add(const char* text, size_t n) {
        if (!ok || length + n >= capacity) {
            ok = false;
            return;
        }
        std::memcpy(out + length, text, n);
        length += n;
        out[length] = '\0';
    }
    // Drops the last segment written: back to (not including) the last '/' after from.
    void DropSegment(size_t from) {
        while (length > from && out[length - 1] != '/') {
            --length;
        }
        if (length > from) {
            --length;
        }
        out[length] = '\0';
    }
};

// Appends path (length n) to b without its "." and ".." segments; a ".." never climbs above
// the position the path starts at.
void AddWithoutDotSegments(Builder& b, const char* path, size_t n) {
    const size_t root = b.length;
    size_t i = 0;
    while (i < n) {
        size_t end = i + 1;
        while (end < n && path[end] != '/') {
            ++end;
        }
        // path[i] is '/' except for a path that starts without one (scheme-absolute forms).
        const char* segment = path + i + (path[i] == '/' ? 1 : 0);
        const size_t segmentLength = static_cast<size_t>(path + end - segment);
        const bool last = end >= n;
        if (segmentLength == 1 && segment[0] == '.') {
            if (last) {
                b.Add("/", 1);
            }
        } else if (segmentLength == 2 && segment[0] == '.' && segment[1] == '.') {
            b.DropSegment(root);
            if (last) {
                b.Add("/", 1);
            }
        } else {
            b.Add(path + i, static_cast<size_t>(end - i));
        }
        i = end;
    }
}

uint64_t Hash(const char* text) {
    uint64_t hash = 14695981039346656037ull;
    for (const char* p = text; *p; ++p) {
        hash = (hash ^ static_cast<unsigned char>(*p)) * 1099511628211ull;
    }
    return hash;
}

} // namespace

int IsRedirectStatus(unsigned status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308 ? 1 : 0;
}

namespace {

// ResolveLocation, but leaves what it built so far when it fails.
int Resolve(const char* base, const char* location, char* destination, size_t capacity) {
    while (*location == ' ' || *location == '\t') {
        ++location;
    }
    size_t length = std::strlen(location);
    while (length > 0 && (location[length - 1] == ' ' || location[length - 1] == '\t')) {
        --length;
    }
    if (const void* hash = std::memchr(location, '#', length)) {
        length = static_cast<size_t>(static_cast<const char*>(hash) - location);
    }
    const size_t baseLength = std::strlen(base);
    const size_t baseScheme = SchemeLength(base, baseLength);
    if (baseScheme == 0 || std::strncmp(base + baseScheme, "://", 3) != 0) {
        return 0;
    }
    // The base's parts: scheme and authority, path, query; its fragment is never used.
    const char* authorityEnd = base + baseScheme + 3;
    while (*authorityEnd && *authorityEnd != '/' && *authorityEnd != '?' && *authorityEnd != '#') {
        ++authorityEnd;
    }
    const char* pathEnd = authorityEnd;
    while (*pathEnd && *pathEnd != '?' && *pathEnd != '#') {
        ++pathEnd;
    }
    const char* queryEnd = pathEnd;
    while (*queryEnd && *queryEnd != '#') {
        ++queryEnd;
    }

    Builder b{destination, capacity, 0, true};
    const size_t scheme = SchemeLength(location, length);
    const char* referencePath = location;
    size_t referenceLength = length;
    if (scheme > 0) {
        b.Add(location, scheme + 1);
        referencePath += scheme + 1;
        referenceLength -= scheme + 1;
    } else {
        b.Add(base, baseScheme + 1);
    }
    if (referenceLength >= 2 && referencePath[0] == '/' && referencePath[1] == '/') {
        // An authority of its own.
        size_t end = 2;
        while (end < referenceLength && referencePath[end] != '/' && referencePath[end] != '?') {
            ++end;
        }
        b.Add(referencePath, end);
        referencePath += end;
        referenceLength -= end;
    } else if (scheme > 0) {
        // "http:path" without an authority is no address to follow.
        return 0;
    } else {
        b.Add(base + baseScheme + 1, static_cast<size_t>(authorityEnd - (base + baseScheme + 1)));
    }
    size_t pathLength = 0;
    while (pathLength < referenceLength && referencePath[pathLength] != '?') {
        ++pathLength;
    }
    const bool ownAuthority = scheme > 0 || referencePath != location;
    if (ownAuthority || (pathLength > 0 && referencePath[0] == '/')) {
        AddWithoutDotSegments(b, referencePath, pathLength);
        b.Add(referencePath + pathLength, referenceLength - pathLength);
    } else if (pathLength == 0) {
        // Empty, or a query only: the base's path, and the base's query unless one is given.
        b.Add(authorityEnd, static_cast<size_t>(pathEnd - authorityEnd));
        if (referenceLength > 0) {
            b.Add(referencePath, referenceLength);
        } else {
            b.Add(pathEnd, static_cast<size_t>(queryEnd - pathEnd));
        }
    } else {
        // A relative path: merged with the base's path up to its last slash.
        char merged[4096];
        Builder m{merged, sizeof merged, 0, true};
        const char* lastSlash = pathEnd;
        while (lastSlash > authorityEnd && lastSlash[-1] != '/') {
            --lastSlash;
        }
        if (lastSlash == authorityEnd) {
            m.Add("/", 1);
        } else {
            m.Add(authorityEnd, static_cast<size_t>(lastSlash - authorityEnd));
        }
        m.Add(referencePath, pathLength);
        if (!m.ok) {
            return 0;
        }
        AddWithoutDotSegments(b, merged, m.length);
        b.Add(referencePath + pathLength, referenceLength - pathLength);
    }
    if (b.ok) {
        const size_t resultScheme = SchemeLength(destination, b.length);
        if (SameLetters(destination, resultScheme, "http") || SameLetters(destination, resultScheme, "https")) {
            // The address must name a host.
            const char* host = destination + resultScheme + 3;
            if (std::strncmp(destination + resultScheme, "://", 3) == 0 && *host && *host != '/' && *host != '?') {
                return 1;
            }
        }
    }
    return 0;
}

} // namespace

int ResolveLocation(const char* base, const char* location, char* destination, size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    destination[0] = '\0';
    if (Resolve(base, location, destination, capacity) == 1) {
        return 1;
    }
    destination[0] = '\0';
    return 0;
}

void StartTrail(RedirectTrail& trail, const char* url) {
    trail.hops = 0;
    for (uint64_t& seen : trail.seen) {
        seen = 0;
    }
    trail.seen[0] = Hash(url);
}

HopVerdict NextHop(RedirectTrail& trail, const char* url) {
    const uint64_t hash = Hash(url);
    for (int i = 0; i <= trail.hops; ++i) {
        if (trail.seen[i] == hash) {
            return HopVerdict::Loop;
        }
    }
    if (trail.hops == MaxRedirects) {
        return HopVerdict::TooMany;
    }
    trail.seen[++trail.hops] = hash;
    return HopVerdict::Follow;
}
