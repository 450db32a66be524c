// The debug line of a title that fell back.
#include "web/TitleFailure.h"

#include <cstdio>

namespace {

const char* StepName(DownloadStep step) {
    switch (step) {
    case DownloadStep::Connecting:
        return "connecting";
    case DownloadStep::Sending:
        return "waiting for the answer";
    case DownloadStep::Reading:
        return "reading the page";
    }
    return "?";
}

} // namespace

void FormatTitleFailure(uint32_t serial, const TitleFailureNote& note, char* destination, size_t capacity) {
    if (capacity == 0) {
        return;
    }
    destination[0] = '\0';
    char reason[96];
    const unsigned code = note.code;
    switch (note.failure) {
    case TitleFailure::None:
        return;
    case TitleFailure::NotStarted:
        std::snprintf(reason, sizeof reason, "the download could not start");
        break;
    case TitleFailure::BadAddress:
        std::snprintf(reason, sizeof reason, "the address cannot be requested");
        break;
    case TitleFailure::NetworkError:
        std::snprintf(reason, sizeof reason, "WinINet error %u while %s", code, StepName(note.step));
        break;
    case TitleFailure::Refused:
        std::snprintf(reason, sizeof reason, "HTTP status %u", code);
        break;
    case TitleFailure::Timeout:
        std::snprintf(reason, sizeof reason, "timed out while %s", StepName(note.step));
        break;
    case TitleFailure::RedirectLoop:
        std::snprintf(reason, sizeof reason, "redirect loop");
        break;
    case TitleFailure::TooManyRedirects:
        std::snprintf(reason, sizeof reason, "more than %u redirects", static_cast<unsigned>(note.hop));
        break;
    case TitleFailure::BadRedirect:
        std::snprintf(reason, sizeof reason, "redirect to an address that cannot be followed");
        break;
    case TitleFailure::NoTitle:
        std::snprintf(reason, sizeof reason, "no title in the first kilobyte (HTTP status %u)", code);
        break;
    case TitleFailure::ConvertedToNothing:
        std::snprintf(reason, sizeof reason, "the title converted to nothing");
        break;
    }
    if (note.hop > 0 && note.failure != TitleFailure::TooManyRedirects) {
        std::snprintf(destination, capacity, "Clipwren: entry %u keeps the fallback title: %s (after %u redirects)\n",
                      static_cast<unsigned>(serial), reason, static_cast<unsigned>(note.hop));
    } else {
        std::snprintf(destination, capacity, "Clipwren: entry %u keeps the fallback title: %s\n",
                      static_cast<unsigned>(serial), reason);
    }
}
