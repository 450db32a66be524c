// The list's open item hands a URL entry to the registered http handler as one argument, however
// the entry tries to break out of the handler's quotes, and refuses an address that is too long.
// The handler is this test program itself, registered as browsers register: started with the
// marker below, it records its command line and ends before any test runs.
#include "support/UiWindow_win.h"

#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/MessageBoxHook_win.h"
#include "support/ScratchFolder_win.h"

namespace {

constexpr char HandlerMarker[] = "--url-handler-log=";

std::string HandlerLogPath(unsigned long token) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    return std::string(temp) + "clipwren-url-handler-" + std::to_string(token) + ".log";
}

// Appends the command line (in Shift_JIS, as the program's texts are), NUL-terminated, to the log
// the marker names; several handlers may write, so each record goes out in one append.
int RecordCommandLineIfHandler() {
    const std::string command = Cp932From(GetCommandLineW());
    const char* line = command.c_str();
    const char* marker = std::strstr(line, HandlerMarker);
    if (!marker) {
        return 0;
    }
    unsigned long token = std::strtoul(marker + sizeof HandlerMarker - 1, nullptr, 10);
    HANDLE log =
        CreateFileA(HandlerLogPath(token).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(log, line, static_cast<DWORD>(std::strlen(line) + 1), &written, nullptr);
        CloseHandle(log);
    }
    ExitProcess(0);
}

const int handlerRecorded = RecordCommandLineIfHandler();

std::vector<std::string> Records(const std::string& bytes) {
    std::vector<std::string> records;
    for (size_t start = 0; start < bytes.size();) {
        size_t end = bytes.find('\0', start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        records.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return records;
}

// The arguments a program started with this command line sees, by the rules of the C runtime
// and CommandLineToArgvW, which browsers use.
std::vector<std::string> Arguments(const std::string& commandLine) {
    std::vector<std::string> arguments;
    const std::wstring wide = WideFrom(commandLine.c_str());
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(wide.c_str(), &count);
    for (int i = 0; argv && i < count; ++i) {
        arguments.push_back(Cp932From(argv[i]));
    }
    LocalFree(argv);
    return arguments;
}

std::string DefaultValue(HKEY root, const char* subKey, bool* found = nullptr) {
    char value[2048] = {};
    DWORD size = sizeof value - 1;
    bool read = RegGetValueA(root, subKey, nullptr, RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS;
    if (found) {
        *found = read;
    }
    return value;
}

bool SetDefaultValue(HKEY root, const char* subKey, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    bool set = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return set;
}

// This program as the current user's http handler, registered the way browsers register.
// Wine's HKEY_CLASSES_ROOT does not show the user's classes; there the command goes into
// HKEY_CLASSES_ROOT itself, and the command it had is put back afterwards.
class HandlerRegistration {
public:
    explicit HandlerRegistration(unsigned long token) {
        char program[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, program, sizeof program);
        command_ = "\"" + std::string(program) + "\" " + HandlerMarker + std::to_string(token) + " \"%1\"";
        SetDefaultValue(HKEY_CURRENT_USER, UserCommandKey, command_);
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, UserHttpKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegSetValueExA(key, "URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
            RegCloseKey(key);
        }
        if (DefaultValue(HKEY_CLASSES_ROOT, ClassesCommandKey) != command_) {
            saved_ = DefaultValue(HKEY_CLASSES_ROOT, ClassesCommandKey, &hadClassesCommand_);
            overrode_ = SetDefaultValue(HKEY_CLASSES_ROOT, ClassesCommandKey, command_);
        }
    }
    ~HandlerRegistration() {
        if (overrode_ && hadClassesCommand_) {
            SetDefaultValue(HKEY_CLASSES_ROOT, ClassesCommandKey, saved_);
        } else if (overrode_) {
            RegDeleteKeyValueA(HKEY_CLASSES_ROOT, ClassesCommandKey, nullptr);
        }
        RegDeleteTreeA(HKEY_CURRENT_USER, UserHttpKey);
    }
    HandlerRegistration(const HandlerRegistration&) = delete;
    HandlerRegistration& operator=(const HandlerRegistration&) = delete;

    bool registered() const { return DefaultValue(HKEY_CLASSES_ROOT, ClassesCommandKey) == command_; }

private:
    static constexpr char UserHttpKey[] = "Software\\Classes\\http";
    static constexpr char UserCommandKey[] = "Software\\Classes\\http\\shell\\open\\command";
    static constexpr char ClassesCommandKey[] = "http\\shell\\open\\command";
    std::string command_;
    std::string saved_;
    bool hadClassesCommand_ = false;
    bool overrode_ = false;
};

class OpenAddressTest : public UiWindowTest {
protected:
    void SetUp() override {
        UiWindowTest::SetUp();
        DeleteFileA(log_.c_str());
    }
    void TearDown() override {
        DeleteFileA(log_.c_str());
        UiWindowTest::TearDown();
    }

    void OpenRow(int row) {
        MenuDriver driver(OpenItem);
        NMITEMACTIVATE note = RowNote(row);
        ShowEntryMenu(&note);
        EXPECT_TRUE(driver.shown());
    }

    // The records once the first one has come and a little longer, for any handler behind it.
    std::vector<std::string> AwaitRecords() {
        for (int i = 0; i < 400 && GetFileAttributesA(log_.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
            Sleep(50);
        }
        Sleep(1000);
        return Records(ReadWholeFile(log_));
    }

    const unsigned long token_ = GetCurrentProcessId();
    const std::string log_ = HandlerLogPath(token_);
};

TEST_F(OpenAddressTest, HandlerGetsTheAddressAsOneEncodedArgument) {
    ASSERT_EQ(handlerRecorded, 0);
    HandlerRegistration handler(token_);
    ASSERT_TRUE(handler.registered());
    const std::string tooLong = "http://a.test/" + std::string(2985, 'x') + "/";
    ASSERT_EQ(tooLong.size(), 3000u);
    FillStore(store, {Url("http://e0.example/", "0"),
                        Url("http://a.test/x\" --some-browser-option \"y\tz\\\" w/表/", "hostile"),
                        Url(tooLong, "long")});
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);

    MessageBoxAnswerer boxes({IDOK});
    PendRebuildAndTick(0);
    OpenRow(2);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].caption, "Clipwren");
    EXPECT_EQ(boxes.seen()[0].text, "このアドレスは開けません。");
    EXPECT_EQ(view.refreshPending, 0);
    EXPECT_FALSE(ListRebuilt(0));

    PendRebuildAndTick(0);
    OpenRow(1);
    EXPECT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(view.refreshPending, 0);
    EXPECT_FALSE(ListRebuilt(0));
    std::vector<std::string> records = AwaitRecords();
    // One handler only: the refused address started none.
    ASSERT_EQ(records.size(), 1u);
    std::vector<std::string> arguments = Arguments(records[0]);
    ASSERT_EQ(arguments.size(), 3u) << records[0];
    EXPECT_EQ(arguments[1], HandlerMarker + std::to_string(token_));
    EXPECT_EQ(arguments[2], "http://a.test/x%22%20--some-browser-option%20%22y%09z%5C%22%20w/表/");
    // The entry itself is kept as it was captured.
    EXPECT_EQ(std::string(TheHistory().content[1]),
              "http://a.test/x\" --some-browser-option \"y\tz\\\" w/表/");
    EXPECT_EQ(store.count, 3);
}

} // namespace
