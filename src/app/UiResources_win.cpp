// The shell's run-long resources: fonts, brush and menus.
#include "app/UiResources_win.h"

#include <commctrl.h>

#include "base/Guards_win.h"
#include "base/Menu_win.h"
#include "base/Shell_win.h"
#include "base/UiTexts.h"
#include "base/ids.h"

namespace {

// The two fonts of the windows differ only in height and pitch-and-family.
HFONT CreateUiFont(int height, DWORD pitchAndFamily) {
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY, pitchAndFamily,
                       UiFontFace);
}

HFONT CreateListFont() {
    return CreateFontA(16, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_CHARACTER_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_DONTCARE, UiFontFace);
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
    ShellResources& shell = Shell();
    shell.instance = GetModuleHandleA(nullptr);

    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    shell.controlFont = CreateUiFont(-12, FF_SWISS | DEFAULT_PITCH);
    shell.dialogFont = CreateUiFont(-16, FF_MODERN | VARIABLE_PITCH);
    shell.listFont = CreateListFont();
    shell.backgroundBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));

    // Every insertion goes to the front, so the bar is built from its right end.
    shell.menuBar = CreateMenu();
    shell.helpMenu = AddDropDown(shell.menuBar, HelpMenuText, VersionMenuText, VersionInfoCommand);
    shell.editMenu = AddDropDown(shell.menuBar, EditMenuText, DeleteAllMenuText, DeleteAllCommand);
    shell.fileMenu = AddDropDown(shell.menuBar, FileMenuText, ExitMenuText, ExitCommand);
}

void ReleaseUiResources() {
    ShellResources& shell = Shell();
    // Each guard releases its handle as it goes; the drop-downs go with the bar they are
    // attached to.
    MenuHandle menuBar(shell.menuBar);
    GdiObject<HFONT> controlFont(shell.controlFont);
    GdiObject<HFONT> dialogFont(shell.dialogFont);
    GdiObject<HFONT> listFont(shell.listFont);
    GdiObject<HBRUSH> backgroundBrush(shell.backgroundBrush);
    shell.menuBar = shell.helpMenu = shell.editMenu = shell.fileMenu = nullptr;
    shell.controlFont = shell.dialogFont = shell.listFont = nullptr;
    shell.backgroundBrush = nullptr;
}
