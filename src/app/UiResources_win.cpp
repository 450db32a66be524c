// The program's run-long resources: fonts, brush and menus.
#include "app/UiResources_win.h"

#include <commctrl.h>

#include "base/Cp932_win.h"
#include "base/Guards_win.h"
#include "base/Menu_win.h"
#include "base/AppResources_win.h"
#include "base/UiTexts.h"
#include "base/ids.h"

namespace {

// The two fonts of the windows differ only in height and pitch-and-family.
HFONT CreateUiFont(int height, DWORD pitchAndFamily) {
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY, pitchAndFamily,
                       WideFrom(UiFontFace).c_str());
}

HFONT CreateListFont() {
    return CreateFontW(16, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_CHARACTER_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_DONTCARE, WideFrom(UiFontFace).c_str());
}

// One drop-down with its single entry, inserted in front of the bar's other entries.
HMENU AddDropDown(HMENU bar, const char* title, const char* entry, UINT commandId) {
    HMENU dropDown = CreatePopupMenu();
    InsertMenuEntry(dropDown, 0, TRUE, entry, commandId, nullptr, 0);
    InsertMenuEntry(bar, 0, TRUE, title, 0, dropDown, 0);
    return dropDown;
}

} // namespace

void CreateUiResources() {
    AppResourceRecord& app = AppResources();
    app.instance = GetModuleHandleA(nullptr);

    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    app.controlFont = CreateUiFont(-12, FF_SWISS | DEFAULT_PITCH);
    app.dialogFont = CreateUiFont(-16, FF_MODERN | VARIABLE_PITCH);
    app.listFont = CreateListFont();
    app.backgroundBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));

    // Every insertion goes to the front, so the bar is built from its right end.
    app.menuBar = CreateMenu();
    app.helpMenu = AddDropDown(app.menuBar, HelpMenuText, VersionMenuText, VersionInfoCommand);
    app.editMenu = AddDropDown(app.menuBar, EditMenuText, DeleteAllMenuText, DeleteAllCommand);
    app.fileMenu = AddDropDown(app.menuBar, FileMenuText, ExitMenuText, ExitCommand);
}

void ReleaseUiResources() {
    AppResourceRecord& app = AppResources();
    // Each guard releases its handle as it goes; the drop-downs go with the bar they are
    // attached to.
    MenuHandle menuBar(app.menuBar);
    GdiObject<HFONT> controlFont(app.controlFont);
    GdiObject<HFONT> dialogFont(app.dialogFont);
    GdiObject<HFONT> listFont(app.listFont);
    GdiObject<HBRUSH> backgroundBrush(app.backgroundBrush);
    app.menuBar = app.helpMenu = app.editMenu = app.fileMenu = nullptr;
    app.controlFont = app.dialogFont = app.listFont = nullptr;
    app.backgroundBrush = nullptr;
}
