// The version-information window and the nested loop that makes it modal.
#include "app/VersionDialog_win.h"
#include "app/AppTestSeams_win.h"

#include "base/Cp932_win.h"
#include "base/Guards_win.h"
#include "base/AppResources_win.h"
#include "base/UiTexts.h"
#include "base/ids.h"
#include "app/version.h"

namespace {

const char VersionDialogName[] = "DigVersionInfo";

HWND g_versionDialog;
// The icon shown in the window, loaded at its own size; destroyed with the window.
IconHandle g_dialogIcon;

// The window RunVersionWindow is running, whether EndModalDialog has ended it, and with what
// code. The mark ends the loop by itself: a quit message posted for it would wait behind
// messages already posted, and a version command among them would open the next window inside
// this loop, where that quit then closed it at once.
struct ModalRun {
    HWND window;
    int ended;
    int result;
};
ModalRun* g_modalRun;

struct DialogControlSpec {
    int id;
    const char* className;
    const char* text;
    DWORD style;
    int x, y, width, height;
};

const DialogControlSpec OkSpec = {OkButton, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                  112, 124, 96, 32};
const DialogControlSpec ProductSpec = {ProductLabel, "STATIC", CLIPWREN_PRODUCT_NAME,
                                       WS_CHILD | WS_VISIBLE | SS_CENTER, 55, 12, 186, 25};
const DialogControlSpec VersionSpec = {VersionLabel, "STATIC", "Version " CLIPWREN_VERSION_TEXT,
                                       WS_CHILD | WS_VISIBLE | SS_LEFT, 106, 38, 108, 21};
const DialogControlSpec MakerSpec = {MakerLabel, "STATIC", MAKER_LABEL_PREFIX CLIPWREN_MAKER,
                                     WS_CHILD | WS_VISIBLE | SS_LEFT, 96, 66, 131, 27};
const DialogControlSpec IconSpec = {IconLabel, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_ICON, 28, 25, 32, 32};
const DialogControlSpec HomePageSpec = {HomePageField, "EDIT", CLIPWREN_HOME_PAGE,
                                        WS_CHILD | WS_VISIBLE | ES_READONLY | ES_CENTER, 28, 92, 264, 23};

HWND CreateDialogControl(HWND dialog, const DialogControlSpec& spec) {
    HWND control = CreateWindowExW(0, WideFrom(spec.className).c_str(), WideFrom(spec.text).c_str(), spec.style,
                                   spec.x, spec.y, spec.width, spec.height, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)),
                                   AppResources().instance, nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(AppResources().dialogFont), 0);
    return control;
}

void OnInitDialog(HWND window) {
    g_versionDialog = window;
    CreateDialogControl(window, OkSpec);
    CreateDialogControl(window, ProductSpec);
    CreateDialogControl(window, VersionSpec);
    CreateDialogControl(window, MakerSpec);
    HWND iconLabel = CreateDialogControl(window, IconSpec);
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    g_dialogIcon.Reset(static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDI_APPICON), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
    SendMessageA(iconLabel, STM_SETICON, reinterpret_cast<WPARAM>(g_dialogIcon.get()), 0);
    CreateDialogControl(window, HomePageSpec);
}

void OnDialogDestroy() {
    g_dialogIcon.Reset();
}

HWND CreateVersionWindow(HWND owner) {
    return CreateWindowExA(0, "NORMALDLG", VersionDialogName, WS_CAPTION | WS_SYSMENU,
                           CW_USEDEFAULT, CW_USEDEFAULT, 320, 200, owner, nullptr,
                           AppResources().instance, nullptr);
}

// What remains of a window whose loop ended without EndModalDialog.
void AbandonModalWindow(HWND window, HWND owner) {
    if (IsWindow(owner)) {
        EnableWindow(owner, TRUE);
    }
    if (IsWindow(window)) {
        DestroyWindow(window);
    }
}

// Ends the window run by RunVersionWindow; code becomes its result. Its loop ends after the
// message that called this, whatever else is already waiting.
void EndModalDialog(HWND window, int code) {
    // The owner is enabled first so that it can take the activation back.
    EnableWindow(GetWindow(window, GW_OWNER), TRUE);
    DestroyWindow(window);
    if (g_modalRun && g_modalRun->window == window) {
        g_modalRun->ended = 1;
        g_modalRun->result = code;
    }
}

LRESULT CALLBACK VersionDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(window);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == OkButton && HIWORD(wParam) == BN_CLICKED) {
            EndModalDialog(g_versionDialog, 1);
        }
        return 0;
    case WM_CLOSE:
        EndModalDialog(window, 0);
        return 0;
    case WM_DESTROY:
        OnDialogDestroy();
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

HWND VersionDialog() { return g_versionDialog; }

void ShowVersionInfo() {
    // The disabled main window can still be sent the command by another program; a second
    // window would take over the first one's icon and leave it undestroyed.
    if (g_versionDialog && IsWindow(g_versionDialog)) {
        SetForegroundWindow(g_versionDialog);
        return;
    }
    RunVersionWindow(MainWindow());
}

int RunVersionWindow(HWND owner) {
    HWND window = CreateVersionWindow(owner);
    if (!window) {
        // Out of window handles or desktop heap: without a window nothing would ever end the
        // loop below, so the command does nothing and the owner stays enabled.
        return 0;
    }
    g_versionDialog = window;
    // Messages of the creation itself went to the class procedure.
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(VersionDialogProc));
    SendMessageA(window, WM_INITDIALOG, 0, 0);
    SendMessageA(window, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadIconA(AppResources().instance, MAKEINTRESOURCEA(IDI_APPICON))));
    ShowWindow(window, SW_SHOW);
    EnableWindow(owner, FALSE);

    ModalRun run = {window, 0, 0};
    ModalRun* outer = g_modalRun;
    g_modalRun = &run;

    bool foreignQuit = false;
    WPARAM foreignCode = 0;
    MSG message;
    while (!run.ended) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // Meant for an outer loop (the main window is gone, or someone asked the thread to
            // end): the window ends with 0 and the quit is passed on.
            foreignQuit = true;
            foreignCode = message.wParam;
            AbandonModalWindow(window, owner);
            break;
        }
        if (got == -1) {
            AbandonModalWindow(window, owner);
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    g_modalRun = outer;
    if (g_versionDialog == window) {
        g_versionDialog = nullptr;
    }
    if (foreignQuit) {
        PostQuitMessage(static_cast<int>(foreignCode));
    }
    return run.ended ? run.result : 0;
}
