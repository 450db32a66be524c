// The composed text of the text view: one block per admitted entry, CR LF line breaks.
#include "ui/ComposedText.h"

#include <cstring>

#include "base/TextAlloc.h"
#include "base/UiTexts.h"
#include "ui/TextMode.h"

namespace {

const char LineBreak[] = "\r\n";
const char WebPageLabel[] = "[Web Page] - ";
const char TextLabel[] = "[Text] - ";
const char Separator[] = "------------------------------"; // 30 hyphens

// Appends to out when it is set; always counts.
struct TextSink {
    char* out;
    size_t length;

    void Add(const char* text) {
        if (!text) {
            return;
        }
        size_t n = std::strlen(text);
        if (out) {
            std::memcpy(out + length, text, n);
        }
        length += n;
    }
};

} // namespace

size_t WriteViewBlocks(const HistoryStore& store, int32_t textMode, char* out) {
    TextSink sink{out, 0};
    for (int i = 0; i < store.count; ++i) {
        HistoryEntry entry = EntryAt(store, i);
        if (TextModeAdmits(textMode, entry.kind) != 1) {
            continue;
        }
        switch (textMode) {
        case DisplayMode::UrlOnly:
            sink.Add(entry.content);
            sink.Add(LineBreak);
            break;
        case DisplayMode::UrlTitle:
            sink.Add(WebPageLabel);
            sink.Add(entry.title);
            sink.Add(LineBreak);
            sink.Add(entry.content);
            sink.Add(LineBreak);
            sink.Add(LineBreak);
            break;
        case DisplayMode::UrlText:
            sink.Add(entry.kind == EntryKind::Url ? WebPageLabel : TextLabel);
            sink.Add(entry.title);
            sink.Add(LineBreak);
            sink.Add(entry.content);
            sink.Add(LineBreak);
            sink.Add(Separator);
            sink.Add(LineBreak);
            sink.Add(LineBreak);
            break;
        default: // no other mode admits an entry
            break;
        }
    }
    return sink.length;
}

const char* RebuildViewText(const HistoryStore& store, ViewState& view) {
    if (store.count == 0) {
        return view.displayText;
    }
    int32_t textMode = TextModeOf(view.displayMode);
    // Every admitted block holds at least one line break, so length 0 means none was admitted.
    size_t length = WriteViewBlocks(store, textMode, nullptr);
    if (length == 0) {
        SetDisplayText(view, NothingToShowText, sizeof NothingToShowText - 1);
        return view.displayText;
    }
    char* text = AllocText(length);
    if (!text) {
        return view.displayText;
    }
    WriteViewBlocks(store, textMode, text);
    AdoptDisplayText(view, text);
    return text;
}
