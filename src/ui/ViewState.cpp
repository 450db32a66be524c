// The view state and the one place that decides whether the next refresh rebuilds.
#include "ui/ViewState.h"

#include <cstring>

#include "base/TextAlloc.h"
#include "base/UiTexts.h"

int InitViewState(ViewState& view) {
    std::memset(&view, 0, sizeof view);
    for (int i = 0; i < HistoryCapacity; ++i) {
        view.listRowMap[i] = -1;
    }
    view.displayMode = DisplayMode::UrlOnly;
    view.listWidth = 512;
    view.refreshPending = 1;
    return SetDisplayText(view, NothingToShowText, sizeof NothingToShowText - 1);
}

int SetDisplayText(ViewState& view, const char* text, size_t len) {
    char* copy = AllocText(len);
    if (!copy) {
        return 0;
    }
    if (len) {
        std::memcpy(copy, text, len);
    }
    AdoptDisplayText(view, copy);
    return 1;
}

void AdoptDisplayText(ViewState& view, char* text) {
    ++view.ownedStrings;
    if (view.displayText) {
        FreeText(view.displayText);
        --view.ownedStrings;
    }
    view.displayText = text;
}

void ReleaseViewState(ViewState& view) {
    if (view.displayText) {
        FreeText(view.displayText);
        --view.ownedStrings;
        view.displayText = nullptr;
    }
}

void MarkRefresh(ViewState& view, RefreshMark mark) {
    switch (mark) {
    case RefreshMark::Set:
        view.refreshPending = 1;
        break;
    case RefreshMark::Clear:
        view.refreshPending = 0;
        break;
    case RefreshMark::Leave:
        break;
    }
}

ViewState& TheView() {
    static ViewState view;
    return view;
}
