// The conversion of a downloaded page title to Shift_JIS.
#include "web/PageTitle_win.h"

#include "web/PageDownload_win.h"
#include "web/TitleFailure.h"

#include "Nkf32Exports_win.h"

int ConvertPageTitle(const PageTitleResult& result, char* destination) {
    destination[0] = '\0';
    if (result.found != 1) {
        return 0;
    }
    SetNkfOption(result.option);
    NkfConvert(destination, result.title);
    destination[ConvertedTitleBytes - 1] = '\0';
    // A title of only characters without a Shift_JIS form converts to nothing.
    return destination[0] != '\0' ? 1 : 0;
}

void TraceFallback(uint32_t serial, const PageTitleResult* result, int converted) {
    if (converted == 1) {
        return;
    }
    TitleFailureNote note = {TitleFailure::NotStarted, DownloadStep::Connecting, 0, 0};
    if (result) {
        note = result->note;
        if (result->found == 1) {
            note.failure = TitleFailure::ConvertedToNothing;
        }
    }
    char line[192];
    FormatTitleFailure(serial, note, line, sizeof line);
    if (line[0]) {
        OutputDebugStringA(line);
    }
}
