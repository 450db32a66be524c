// Every control, command, menu-item, timer and resource identifier of the program, under one name each.
#pragma once

// The resource compiler reads only the resource identifiers below.
#ifndef RC_INVOKED

// Timer that drives the clipboard poll.
constexpr unsigned CaptureTimer = 24;
constexpr unsigned CaptureIntervalMs = 1000;

// One-shot timer that a clipboard notification arms: the copying program gets this long to
// finish placing its formats before the capture reads them.
constexpr unsigned ClipboardSettleTimer = 25;
constexpr unsigned ClipboardSettleMs = 50;

// A page download's result, posted to the main window (WM_APP + 1; wParam the entry's serial,
// lParam the result).
constexpr unsigned PageTitleMessage = 0x8000 + 1;

// The history saver: the timer of a write that waits for the second since the last one to pass,
// and the message its writer thread posts when a write has ended (WM_APP + 2; WM_APP is 0x8000).
constexpr unsigned SaveTimer = 26;
constexpr unsigned SaveDoneMessage = 0x8000 + 2;

// Main window controls.
constexpr int TextView = 1000;
constexpr int RefreshButton = 1001;
constexpr int UrlOnlyButton = 1002;
constexpr int UrlTitleButton = 1003;
constexpr int UrlTextButton = 1004;
constexpr int ListDisplayCheck = 1005;
constexpr int EntryList = 1006;

// Version window controls.
constexpr int OkButton = 1007;
constexpr int ProductLabel = 1008;
constexpr int VersionLabel = 1009;
constexpr int MakerLabel = 1010;
constexpr int IconLabel = 1011;
constexpr int HomePageField = 1012;

// Menu commands.
constexpr int ExitCommand = 1013;
constexpr int DeleteAllCommand = 1014;
constexpr int VersionInfoCommand = 1015;

// Context menu of a list row.
constexpr int OpenItem = 4096;
constexpr int DeleteOneItem = 4097;
constexpr int DeleteCheckedItem = 4098;

#endif

// Resources.
#define IDI_APPICON 101
