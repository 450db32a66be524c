// The capture tick's decisions over the store, free of the clipboard and the timer.
#include "capture/CaptureDecision.h"

#include <cstdio>
#include <cstring>

#include "base/UiTexts.h"
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

CaptureResult CaptureText(HistoryStore& store, int32_t displayMode, const char* text, TextCompare compare) {
    const CaptureDecision decision = DecideCapture(store, displayMode, text, compare);
    switch (decision.action) {
    case CaptureAction::Nothing:
        break;
    case CaptureAction::KeepNewest:
        return CaptureResult{RefreshMark::Clear, 0};
    case CaptureAction::Promote:
        PromoteToTop(store, decision.index);
        return CaptureResult{RefreshMark::Set, 0};
    case CaptureAction::Add: {
        // A capturable text is shorter than 1024 bytes: "1023 Byte" fits.
        char byteTitle[16];
        const bool url = decision.kind == EntryKind::Url;
        if (!url) {
            FormatByteTitle(byteTitle, sizeof byteTitle, std::strlen(text));
        }
        if (InsertAtTop(store, text, decision.kind, url ? PageTitleFallback : byteTitle) != 1) {
            break;
        }
        return CaptureResult{RefreshMark::Set, url ? EntryAt(store, 0).serial : 0};
    }
    }
    return CaptureResult{RefreshMark::Leave, 0};
}
