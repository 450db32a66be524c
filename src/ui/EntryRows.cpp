// Columns, cells and the row map of the check-box list.
#include "ui/EntryRows.h"

#include "ui/TextMode.h"

namespace {

const char UrlRowLabel[] = "[Url]";
const char TextRowLabel[] = "[Text]";

// Wider than these, the first columns keep fixed widths and the last one takes the rest.
constexpr int TitleColumnWidth = 256;
constexpr int FormatColumnWidth = 64;
constexpr int FixedUrlTitleWidth = TitleColumnWidth;
constexpr int FixedUrlTextWidth = FormatColumnWidth + TitleColumnWidth;

const char* OrEmpty(const char* text) {
    return text ? text : "";
}

} // namespace

int RoundedQuotient(int n, int d) {
    int q = n / d;
    int r = n % d;
    if (r < 0) { // C++ truncates towards zero; step down to the floor
        r += d;
        --q;
    }
    if (2 * r > d || (2 * r == d && (q & 1) != 0)) {
        ++q;
    }
    return q;
}

ListColumnSet ColumnsForTextMode(int32_t textMode, int listWidth) {
    switch (textMode) {
    case DisplayMode::UrlOnly:
        return ListColumnSet{1, {{"URL", listWidth}, {}, {}}};
    case DisplayMode::UrlTitle:
        if (listWidth > FixedUrlTitleWidth) {
            return ListColumnSet{2,
                                 {{"title", TitleColumnWidth}, {"URL", listWidth - FixedUrlTitleWidth}, {}}};
        } else {
            int half = RoundedQuotient(listWidth, 2);
            return ListColumnSet{2, {{"title", half}, {"URL", half}, {}}};
        }
    case DisplayMode::UrlText:
        if (listWidth > FixedUrlTextWidth) {
            return ListColumnSet{3,
                                 {{"Format", FormatColumnWidth},
                                  {"title", TitleColumnWidth},
                                  {"Object", listWidth - FixedUrlTextWidth}}};
        } else {
            int third = RoundedQuotient(listWidth, 3);
            return ListColumnSet{3, {{"Format", third}, {"title", third}, {"Object", third}}};
        }
    default:
        return ListColumnSet{0, {}};
    }
}

ListRowCells RowCells(const HistoryStore& store, int32_t textMode, int slot) {
    HistoryEntry entry = EntryAt(store, slot);
    switch (textMode) {
    case DisplayMode::UrlOnly:
        return ListRowCells{1, {OrEmpty(entry.content), nullptr, nullptr}};
    case DisplayMode::UrlTitle:
        return ListRowCells{2, {OrEmpty(entry.title), OrEmpty(entry.content), nullptr}};
    case DisplayMode::UrlText:
        return ListRowCells{3,
                            {entry.kind == EntryKind::Url ? UrlRowLabel : TextRowLabel, OrEmpty(entry.title),
                             OrEmpty(entry.content)}};
    default:
        return ListRowCells{0, {}};
    }
}

int BuildRowMap(const HistoryStore& store, ViewState& view, int32_t textMode) {
    int rows = 0;
    for (int i = 0; i < store.count && rows < MaxLiveEntries; ++i) {
        if (TextModeAdmits(textMode, store.kind[i]) == 1) {
            view.listRowMap[rows] = i;
            view.listRowSerial[rows] = store.serial[i];
            ++rows;
        }
    }
    view.listRowCount = rows;
    return rows;
}
