// Answers the message boxes a test provokes on this thread: records each box's caption and text
// and presses the next planned button (IDYES, IDNO, IDOK, ...).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct SeenMessageBox {
    std::string caption;
    std::string text;
    int pressed;
    HWND owner; // null for a box of its own, with no window behind it
};

class MessageBoxAnswerer {
public:
    // Boxes beyond the planned answers are closed with IDCANCEL/IDNO/IDOK, whichever exists.
    explicit MessageBoxAnswerer(std::vector<int> answers);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    const std::vector<SeenMessageBox>& seen() const { return seen_; }

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
    void Answer(HWND box);

    HHOOK hook_;
    std::vector<int> answers_;
    size_t next_ = 0;
    std::vector<SeenMessageBox> seen_;
};
