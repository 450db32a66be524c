// A thread-local CBT hook that answers message boxes for tests.
#include "support/MessageBoxHook_win.h"

#include <utility>

#include "base/Cp932_win.h"

namespace {
MessageBoxAnswerer* g_active = nullptr;

// The text of a message box lives in a static control with this identifier.
constexpr int MessageBoxTextId = 0xFFFF;

// Read in UTF-16, kept in Shift_JIS: the same on any system.
std::string WindowText(HWND window) {
    WCHAR buffer[4096] = {};
    GetWindowTextW(window, buffer, 4096);
    return Cp932From(buffer);
}
} // namespace

MessageBoxAnswerer::MessageBoxAnswerer(std::vector<int> answers)
    : hook_(SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId())), answers_(std::move(answers)) {
    g_active = this;
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    if (hook_) {
        UnhookWindowsHookEx(hook_);
    }
    g_active = nullptr;
}

LRESULT CALLBACK MessageBoxAnswerer::CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_active) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        if (lstrcmpA(className, "#32770") == 0) {
            g_active->Answer(window);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxAnswerer::Answer(HWND box) {
    SeenMessageBox seen{WindowText(box), WindowText(GetDlgItem(box, MessageBoxTextId)), 0, GetWindow(box, GW_OWNER)};
    int answer = 0;
    if (next_ < answers_.size()) {
        answer = answers_[next_++];
    } else {
        for (int candidate : {IDCANCEL, IDNO, IDOK}) {
            if (GetDlgItem(box, candidate)) {
                answer = candidate;
                break;
            }
        }
    }
    seen.pressed = answer;
    seen_.push_back(seen);
    // Posted, not sent: the box is still being activated when the hook runs.
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
}
