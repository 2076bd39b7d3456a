// win-probe COMMAND ARGS: what the end-to-end tests do to and read from the
// desktop. Windows are named by handle (decimal), as `find` prints them.
//
//   windows                      every visible top-level window: <hwnd> <pid> <title>
//   find TITLE-PREFIX            the first visible top-level window whose title
//                                starts with the prefix; exit 1 when none
//   text HWND ID                 the text of control ID (ID 0: the window's title)
//   state HWND ID                "enabled visible checked", each 0 or 1
//   topmost HWND                 1 when the window stays on top, else 0
//   syscommand HWND COMMAND      posts a system-menu command (decimal) to the window
//   close HWND                   posts WM_CLOSE to the window, as End task may
//   click HWND ID                posts a click to an enabled button or a
//                                notifying static; refuses a disabled control (exit 2)
//   mouse HWND ID                a real mouse click at the control's centre
//   foreground HWND              brings the window to the front
//   focus                        the foreground window and the control with the keyboard
//                                focus: "foreground <hwnd> pid <pid> '<title>' focus <hwnd>
//                                id <id> <class>" (what a failing test quotes)
//   keys KEY...                  real key presses, e.g. F3 shift+F4 ralt+F10 alt+F4
//                                Return Escape (alt is the left Alt key)
//   timed-keys KEY...            as keys, and prints "sent <KEY> at=<ms>" for each chord:
//                                when it was handed to SendInput (wall clock, ms since 1970)
//   type TEXT                    types TEXT (UTF-8) as real key presses
//   type-units FILE              types the UTF-16 code units in FILE (little-endian,
//                                no byte-order mark) as real key presses, one each
//   settext HWND ID FILE         sets the control's text to the code units in FILE
//                                with WM_SETTEXT, as a program handing it text does
//   paste HWND ID FILE           puts the code units in FILE on the clipboard and
//                                pastes them into the control (WM_PASTE)
//   units HWND ID                the control's whole text as code units:
//                                "<count>" then each unit as four hex digits
//   crash                        ends in an unhandled access violation, as a
//                                helper with a fault would (the suite must name it)
//
// Text goes out as UTF-8. A user cannot click a disabled control, so neither may
// a test. FILE is a Windows path; a file lets a test hand over any code unit,
// control characters and lone surrogates included, which a command line cannot.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "win32/WideText.h"
#include "tools/common/WallClock.h"

namespace {

using cuewire::FromUtf8;
using cuewire::ToUtf8;

void PrintLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// A control's text: WM_GETTEXT crosses processes where GetWindowText would not,
// and an edit keeps its text nowhere else.
std::wstring ControlText(HWND control) {
    wchar_t text[512] = {};
    SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, nullptr);
    return text;
}

// A top-level window's title, read without a message, so that a window busy
// composing is seen with the title it has at that moment.
std::wstring Title(HWND window) {
    wchar_t text[512] = {};
    InternalGetWindowText(window, text, 512);
    return text;
}

HWND ParseWindow(const char* text) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(std::strtoll(text, nullptr, 10)));
}

HWND ControlOf(HWND window, const char* id) {
    const int number = std::atoi(id);
    return number == 0 ? window : GetDlgItem(window, number);
}

struct WindowSearch {
    std::wstring prefix;
    bool listAll = false;
    HWND found = nullptr;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    if (!IsWindowVisible(window)) {
        return TRUE;
    }
    const std::wstring title = Title(window);
    if (search.listAll) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        PrintLine(std::to_string(reinterpret_cast<intptr_t>(window)) + " " + std::to_string(pid) +
                  " " + ToUtf8(title));
        return TRUE;
    }
    if (title.compare(0, search.prefix.size(), search.prefix) == 0) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

int ListWindows() {
    WindowSearch search;
    search.listAll = true;
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&search));
    return 0;
}

int FindWindowByPrefix(const char* prefix) {
    WindowSearch search;
    search.prefix = FromUtf8(prefix);
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) {
        return 1;
    }
    PrintLine(std::to_string(reinterpret_cast<intptr_t>(search.found)));
    return 0;
}

std::string Handle(HWND window) {
    return std::to_string(reinterpret_cast<intptr_t>(window));
}

// The foreground window and, inside it, the window with the keyboard focus:
// real key presses go there, so a test that cannot press a key quotes this.
int PrintFocus() {
    const HWND foreground = GetForegroundWindow();
    DWORD pid = 0;
    const DWORD thread = GetWindowThreadProcessId(foreground, &pid);
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    const HWND focus = thread && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
    wchar_t className[64] = {};
    GetClassNameW(focus, className, 64);
    PrintLine("foreground " + Handle(foreground) + " pid " + std::to_string(pid) + " '" +
              ToUtf8(Title(foreground)) + "' focus " + Handle(focus) + " id " +
              std::to_string(focus ? GetDlgCtrlID(focus) : 0) + " " + ToUtf8(className));
    return 0;
}

int PrintState(HWND control) {
    const LRESULT check = SendMessageW(control, BM_GETCHECK, 0, 0);
    PrintLine(std::string(IsWindowEnabled(control) ? "1" : "0") + " " +
              (IsWindowVisible(control) ? "1" : "0") + " " + (check == BST_CHECKED ? "1" : "0"));
    return 0;
}

bool IsStatic(HWND control) {
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    return lstrcmpiW(className, L"Static") == 0;
}

int Click(HWND control) {
    if (!control || !IsWindowEnabled(control) || !IsWindowVisible(control)) {
        std::fprintf(stderr, "win-probe: the control is missing, hidden or disabled\n");
        return 2;
    }
    // Posted, so that a message box the click opens cannot block the probe.
    if (IsStatic(control)) {
        PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    } else {
        PostMessageW(control, BM_CLICK, 0, 0);
    }
    return 0;
}

// sentAt, when given, gets the wall-clock time at which the inputs were handed over.
// False, with the reason on stderr, when the system took fewer inputs than given.
bool SendInputs(std::vector<INPUT>& inputs, long long* sentAt = nullptr) {
    if (sentAt) {
        *sentAt = cuewire::UnixMilliseconds();
    }
    UINT taken = 0;
    if (!inputs.empty()) {
        taken = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }
    Sleep(50);
    if (taken != inputs.size()) {
        std::fprintf(stderr, "win-probe: SendInput took %u of %u inputs (error %lu)\n", taken,
                     static_cast<unsigned>(inputs.size()), GetLastError());
        return false;
    }
    return true;
}

int MouseClick(HWND control) {
    RECT rect;
    if (!control || !GetWindowRect(control, &rect)) {
        return 2;
    }
    const int x = (rect.left + rect.right) / 2;
    const int y = (rect.top + rect.bottom) / 2;
    std::vector<INPUT> inputs(3);
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    return SendInputs(inputs) ? 0 : 3;
}

INPUT KeyInput(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (key == VK_RMENU || key == VK_RCONTROL) {
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    return input;
}

WORD KeyCode(const std::string& name) {
    if (name == "shift")
        return VK_SHIFT;
    if (name == "alt")
        return VK_LMENU;
    if (name == "ralt")
        return VK_RMENU;
    if (name == "ctrl")
        return VK_CONTROL;
    if (name == "Return")
        return VK_RETURN;
    if (name == "Escape")
        return VK_ESCAPE;
    if (name == "Tab")
        return VK_TAB;
    if (name.size() >= 2 && name[0] == 'F') {
        const int number = std::atoi(name.c_str() + 1);
        if (number >= 1 && number <= 12) {
            return static_cast<WORD>(VK_F1 + number - 1);
        }
    }
    return 0;
}

// One chord such as "shift+F4": modifiers down, key down and up, modifiers up.
// 0 when pressed, 64 for an unknown key, 3 when the system refused the input.
int PressChord(const std::string& chord, long long* sentAt = nullptr) {
    std::vector<WORD> keys;
    size_t start = 0;
    while (start <= chord.size()) {
        const size_t plus = chord.find('+', start);
        const std::string part =
            chord.substr(start, plus == std::string::npos ? plus : plus - start);
        const WORD key = KeyCode(part);
        if (key == 0) {
            std::fprintf(stderr, "win-probe: unknown key %s\n", part.c_str());
            return 64;
        }
        keys.push_back(key);
        if (plus == std::string::npos) {
            break;
        }
        start = plus + 1;
    }
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        inputs.push_back(KeyInput(key, false));
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        inputs.push_back(KeyInput(*key, true));
    }
    return SendInputs(inputs, sentAt) ? 0 : 3;
}

int TypeUnits(const std::wstring& units) {
    std::vector<INPUT> inputs;
    for (wchar_t unit : units) {
        for (bool up : {false, true}) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = unit;
            input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            inputs.push_back(input);
        }
    }
    return SendInputs(inputs) ? 0 : 3;
}

int TypeText(const char* utf8) {
    return TypeUnits(FromUtf8(utf8));
}

// The file's bytes as UTF-16 code units; false when it cannot be read or
// holds an odd number of bytes.
bool ReadUnits(const char* path, std::wstring& units) {
    const HANDLE file = CreateFileW(FromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart % 2 == 0 && size.QuadPart < (1 << 24);
    if (ok) {
        units.assign(static_cast<size_t>(size.QuadPart / 2), L'\0');
        DWORD read = 0;
        ok = size.QuadPart == 0 ||
             (ReadFile(file, units.data(), static_cast<DWORD>(size.QuadPart), &read, nullptr) &&
              static_cast<LONGLONG>(read) == size.QuadPart);
    }
    CloseHandle(file);
    if (!ok) {
        std::fprintf(stderr, "win-probe: cannot read the code units in %s\n", path);
    }
    return ok;
}

int SetText(HWND control, const std::wstring& text) {
    if (!control) {
        return 2;
    }
    DWORD_PTR result = 0;
    const LRESULT sent =
        SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                            SMTO_ABORTIFHUNG, 30000, &result);
    return sent && result ? 0 : 1;
}

// The clipboard owns the memory once SetClipboardData accepts it.
bool PutOnClipboard(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) {
        return false;
    }
    bool placed = false;
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (EmptyClipboard()) {
        if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            if (void* target = GlobalLock(memory)) {
                std::memcpy(target, text.c_str(), bytes);
                GlobalUnlock(memory);
                placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
            }
            if (!placed) {
                GlobalFree(memory);
            }
        }
    }
    CloseClipboard();
    return placed;
}

// Select all, then paste over it, as an operator replacing the text would.
int Paste(HWND control, const std::wstring& text) {
    if (!control || !PutOnClipboard(text)) {
        std::fprintf(stderr, "win-probe: cannot paste\n");
        return 2;
    }
    SendMessageTimeoutW(control, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 5000, nullptr);
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(control, WM_PASTE, 0, 0, SMTO_ABORTIFHUNG, 30000, &result) ? 0 : 1;
}

int PrintUnits(HWND control) {
    DWORD_PTR length = 0;
    if (!control ||
        !SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return 2;
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(static_cast<size_t>(copied));
    std::string line = std::to_string(text.size());
    char unit[8];
    for (wchar_t c : text) {
        std::snprintf(unit, sizeof unit, " %04x", static_cast<unsigned>(c));
        line += unit;
    }
    PrintLine(line);
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: win-probe windows | find PREFIX | text HWND ID | state HWND ID |\n"
                 "       click HWND ID | mouse HWND ID | foreground HWND | focus | keys KEY... |\n"
                 "       timed-keys KEY... | type TEXT | type-units FILE |\n"
                 "       settext HWND ID FILE | paste HWND ID FILE | units HWND ID | crash\n");
    return 64;
}

// Arguments come from the wide command line: Wine hands the narrow argv over in
// the ANSI code page, which would mangle a title with the registered sign.
std::vector<std::string> Arguments() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; wide && i < count; ++i) {
        arguments.push_back(ToUtf8(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

}  // namespace

int main() {
    const std::vector<std::string> arguments = Arguments();
    const int argc = static_cast<int>(arguments.size());
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    if (argc < 2) {
        return Usage();
    }
    const std::string command = argv[1];
    if (command == "windows") {
        return ListWindows();
    }
    if (command == "find" && argc == 3) {
        return FindWindowByPrefix(argv[2]);
    }
    if (command == "text" && argc == 4) {
        const HWND window = ParseWindow(argv[2]);
        const bool itself = std::atoi(argv[3]) == 0;
        PrintLine(ToUtf8(itself ? Title(window) : ControlText(ControlOf(window, argv[3]))));
        return 0;
    }
    if (command == "state" && argc == 4) {
        return PrintState(ControlOf(ParseWindow(argv[2]), argv[3]));
    }
    if (command == "topmost" && argc == 3) {
        const LONG_PTR style = GetWindowLongPtrW(ParseWindow(argv[2]), GWL_EXSTYLE);
        PrintLine((style & WS_EX_TOPMOST) ? "1" : "0");
        return 0;
    }
    if (command == "syscommand" && argc == 4) {
        return PostMessageW(ParseWindow(argv[2]), WM_SYSCOMMAND,
                            static_cast<WPARAM>(std::atoi(argv[3])), 0)
                   ? 0
                   : 1;
    }
    if (command == "close" && argc == 3) {
        return PostMessageW(ParseWindow(argv[2]), WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (command == "click" && argc == 4) {
        return Click(ControlOf(ParseWindow(argv[2]), argv[3]));
    }
    if (command == "mouse" && argc == 4) {
        return MouseClick(ControlOf(ParseWindow(argv[2]), argv[3]));
    }
    if (command == "focus" && argc == 2) {
        return PrintFocus();
    }
    if (command == "foreground" && argc == 3) {
        return SetForegroundWindow(ParseWindow(argv[2])) ? 0 : 1;
    }
    if (command == "keys" && argc >= 3) {
        for (int i = 2; i < argc; ++i) {
            if (const int status = PressChord(argv[i])) {
                return status;
            }
        }
        return 0;
    }
    if (command == "timed-keys" && argc >= 3) {
        for (int i = 2; i < argc; ++i) {
            long long sentAt = 0;
            if (const int status = PressChord(argv[i], &sentAt)) {
                return status;
            }
            PrintLine(std::string("sent ") + argv[i] + " at=" + std::to_string(sentAt));
        }
        return 0;
    }
    if (command == "type" && argc == 3) {
        return TypeText(argv[2]);
    }
    std::wstring units;
    if (command == "type-units" && argc == 3) {
        return ReadUnits(argv[2], units) ? TypeUnits(units) : 2;
    }
    if (command == "settext" && argc == 5) {
        return ReadUnits(argv[4], units) ? SetText(ControlOf(ParseWindow(argv[2]), argv[3]), units)
                                         : 2;
    }
    if (command == "paste" && argc == 5) {
        return ReadUnits(argv[4], units) ? Paste(ControlOf(ParseWindow(argv[2]), argv[3]), units)
                                         : 2;
    }
    if (command == "units" && argc == 4) {
        return PrintUnits(ControlOf(ParseWindow(argv[2]), argv[3]));
    }
    if (command == "crash" && argc == 2) {
        RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    }
    return Usage();
}
