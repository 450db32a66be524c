// Composition of the context menu's and the message boxes' texts.
#include "ui/ActionTexts.h"

#include "base/UiTexts.h"

namespace {

const char LineBreak[] = "\r\n";

std::string Text(const char* text) {
    return text ? std::string(text) : std::string();
}

const char* DeleteLabel(EntryKind kind) {
    switch (kind) {
    case EntryKind::Url:
        return "[Url] - ";
    case EntryKind::Text:
        return "[Text] - ";
    default:
        return "[Unknown Format] - ";
    }
}

} // namespace

std::string OpenItemText(EntryKind kind, const char* title) {
    if (kind == EntryKind::Url) {
        return "[" + Text(title) + OpenItemSuffix;
    }
    return "[TEXT] - " + Text(title);
}

std::string ViewTextMessage(const char* title, const char* content) {
    return "[Text] - " + Text(title) + LineBreak + std::string(39, '-') + LineBreak + Text(content);
}

std::string DeleteOneMessage(EntryKind kind, const char* title, const char* content) {
    return DeleteLabel(kind) + Text(title) + LineBreak + Text(content) + LineBreak + std::string(26, '-') +
           LineBreak + DeleteOneQuestion;
}

std::string DeleteCheckedMessage(int checkedRows) {
    return DeleteCheckedPrefix + std::to_string(checkedRows) + DeleteCheckedSuffix;
}
