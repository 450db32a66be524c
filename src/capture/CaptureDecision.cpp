// The capture tick's decisions over the store, free of the clipboard and the timer.
#include "capture/CaptureDecision.h"

#include <cstdio>
#include <cstring>

#include "capture/UrlShape.h"

int IsCapturable(int32_t displayMode, const char* text) {
    if (displayMode & DisplayMode::UrlText) {
        return std::strlen(text) < 1024 ? 1 : 0;
    }
    return IsUrl(text);
}

int FindDuplicate(const HistoryStore& store, const char* text, TextCompare compare, int& index) {
    index = -1;
    for (int i = 0; i < store.count; ++i) {
        if (store.content[i] && compare(store.content[i], text) == 0) {
            index = ShouldPromote(i) == 1 ? i : -1;
            return 1;
        }
    }
    return 0;
}

EntryKind NewEntryKind(int32_t displayMode, const char* text) {
    if ((displayMode & DisplayMode::UrlText) && IsUrl(text) != 1) {
        return EntryKind::Text;
    }
    return EntryKind::Url;
}

int FormatByteTitle(char* buffer, size_t capacity, size_t length) {
    if (capacity == 0) {
        return 0;
    }
    const int written = std::snprintf(buffer, capacity, "%d Byte", static_cast<int>(length));
    if (written < 0 || static_cast<size_t>(written) >= capacity) {
        buffer[0] = '\0';
        return 0;
    }
    return written;
}

CaptureDecision DecideCapture(const HistoryStore& store, int32_t displayMode, const char* text,
                              TextCompare compare) {
    CaptureDecision decision{CaptureAction::Nothing, -1, EntryKind::Url};
    if (!text || IsCapturable(displayMode, text) != 1) {
        return decision;
    }
    int index = -1;
    if (FindDuplicate(store, text, compare, index) == 0) {
        decision.action = CaptureAction::Add;
        decision.kind = NewEntryKind(displayMode, text);
    } else if (index == -1) {
        decision.action = CaptureAction::KeepNewest;
    } else {
        decision.action = CaptureAction::Promote;
        decision.index = index;
    }
    return decision;
}

RefreshMark ApplyCapture(HistoryStore& store, const CaptureDecision& decision, const char* text,
                         const char* title) {
    switch (decision.action) {
    case CaptureAction::Add:
        if (!text || !title || InsertAtTop(store, text, decision.kind, title) != 1) {
            return RefreshMark::Leave;
        }
        return RefreshMark::Set;
    case CaptureAction::Promote:
        PromoteToTop(store, decision.index);
        return RefreshMark::Set;
    case CaptureAction::KeepNewest:
        // Also drops a rebuild an earlier tick asked for and nothing has consumed yet.
        return RefreshMark::Clear;
    case CaptureAction::Nothing:
        break;
    }
    return RefreshMark::Leave;
}

int IsLeadByteCp932(unsigned char b) {
    return ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) ? 1 : 0;
}

size_t CopyCutText(char* destination, int capacity, const char* source, size_t sourceSize) {
    if (capacity < 1) {
        return 0;
    }
    const size_t limit = capacity >= 2 ? static_cast<size_t>(capacity - 2) : 0;
    size_t end = 0;
    // Walk character by character from the start: a trail byte can have a lead byte's value, so
    // only the walk knows where characters begin.
    while (end < limit && end < sourceSize && source[end] != '\0') {
        const bool pair = IsLeadByteCp932(static_cast<unsigned char>(source[end])) == 1 &&
                          end + 1 < sourceSize && source[end + 1] != '\0';
        if (!pair) {
            ++end;
        } else if (end + 2 <= limit) {
            end += 2;
        } else {
            break;
        }
    }
    std::memcpy(destination, source, end);
    destination[end] = '\0';
    return end;
}

namespace {

// One character of a zero-terminated Shift_JIS string as a 16-bit unit (lead byte high), folded
// to lower case; advances p past it.
unsigned FoldNextCp932(const unsigned char*& p) {
    unsigned lead = *p++;
    if (IsLeadByteCp932(static_cast<unsigned char>(lead)) != 1 || *p == 0) {
        return (lead >= 'A' && lead <= 'Z') ? lead + ('a' - 'A') : lead;
    }
    unsigned trail = *p++;
    if (lead == 0x82 && trail >= 0x60 && trail <= 0x79) {
        trail += 0x21;
    } else if (lead == 0x83 && trail >= 0x9F && trail <= 0xB6) {
        trail += 0x20;
    } else if (lead == 0x84 && trail >= 0x40 && trail <= 0x60) {
        trail += 0x30;
        if (trail >= 0x7F) {
            ++trail; // 0x7F is never a trail byte
        }
    }
    return (lead << 8) | trail;
}

} // namespace

int CompareFoldCp932(const char* a, const char* b) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    while (*p && *q) {
        const unsigned x = FoldNextCp932(p);
        const unsigned y = FoldNextCp932(q);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return (*p ? 1 : 0) - (*q ? 1 : 0);
}
