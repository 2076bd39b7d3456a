// desktop-probe COMMAND ARGS: what the desktop makes of a program.
//
//   manifest EXE         the ids of EXE's RT_MANIFEST resources ("ids=1"), then
//                        the text of manifest 1 as stored (UTF-8)
//   awareness HWND       the display-scale awareness and DPI of a window of any
//                        process: "awareness=<0|1|2|-1> v2=<0|1> dpi=<n>"
//   dialog-units FACE POINTS
//                        a dialog with that font: its base units (MapDialogRect
//                        of 4 x 8 units), the face and text metrics it got, and
//                        how many pixels 266 units of height take
//
// Exit status 1 on a bad argument or a missing resource or window.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "win32/WideText.h"

namespace {

using cuewire::FromUtf8;
using cuewire::ToUtf8;

BOOL CALLBACK CollectId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR ids) {
    std::string& text = *reinterpret_cast<std::string*>(ids);
    text += text.empty() ? "" : ",";
    text += IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<uintptr_t>(name)) : ToUtf8(name);
    return TRUE;
}

int PrintManifest(const char* exe) {
    const HMODULE image = LoadLibraryExW(FromUtf8(exe).c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!image) {
        std::fprintf(stderr, "cannot open %s (%lu)\n", exe, GetLastError());
        return 1;
    }
    std::string ids;
    EnumResourceNamesW(image, RT_MANIFEST, CollectId, reinterpret_cast<LONG_PTR>(&ids));
    std::printf("ids=%s\n", ids.c_str());
    int status = 1;
    const HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), RT_MANIFEST);
    const HGLOBAL loaded = found ? LoadResource(image, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes) {
        std::fwrite(bytes, 1, SizeofResource(image, found), stdout);
        status = 0;
    }
    FreeLibrary(image);
    return status;
}

int PrintAwareness(const char* window) {
    const HWND hwnd = reinterpret_cast<HWND>(static_cast<intptr_t>(std::strtoll(window, nullptr, 10)));
    if (!IsWindow(hwnd)) {
        return 1;
    }
    const DPI_AWARENESS_CONTEXT context = GetWindowDpiAwarenessContext(hwnd);
    std::printf("awareness=%d v2=%d dpi=%u\n", static_cast<int>(GetAwarenessFromDpiAwarenessContext(context)),
                AreDpiAwarenessContextsEqual(context, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) ? 1 : 0,
                GetDpiForWindow(hwnd));
    return 0;
}

// An empty dialog template in the classic layout (point size, then face) with
// the program's own style bits for its font: DS_SETFONT | DS_FIXEDSYS.
std::vector<WORD> DialogTemplate(const std::wstring& face, WORD points) {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD));
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    header->style = WS_POPUP | DS_SETFONT | DS_SHELLFONT;
    header->cx = 100;
    header->cy = 100;
    words.insert(words.end(), {0, 0, 0});  // no menu, the standard class, no title
    words.push_back(points);
    words.insert(words.end(), face.begin(), face.end());
    words.push_back(0);
    return words;
}

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

int PrintDialogUnits(const char* face, const char* points) {
    const std::vector<WORD> words = DialogTemplate(FromUtf8(face), static_cast<WORD>(std::atoi(points)));
    const HWND dialog = CreateDialogIndirectW(GetModuleHandleW(nullptr),
                                              reinterpret_cast<const DLGTEMPLATE*>(words.data()),
                                              nullptr, QuietDialog);
    if (!dialog) {
        return 1;
    }
    RECT units = {0, 0, 4, 8};
    MapDialogRect(dialog, &units);
    RECT tall = {0, 0, 0, 266};
    MapDialogRect(dialog, &tall);

    const HDC dc = GetDC(dialog);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    wchar_t chosen[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, chosen);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(dialog, dc);
    DestroyWindow(dialog);

    const LONG system = GetDialogBaseUnits();
    std::printf("base=%ldx%ld face=%s height=%ld ascent=%ld descent=%ld average=%ld units266=%ld "
                "system=%dx%d\n",
                units.right, units.bottom, ToUtf8(chosen).c_str(), metrics.tmHeight, metrics.tmAscent,
                metrics.tmDescent, metrics.tmAveCharWidth, tall.bottom, LOWORD(system), HIWORD(system));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "manifest") == 0) {
        return PrintManifest(argv[2]);
    }
    if (argc == 3 && std::strcmp(argv[1], "awareness") == 0) {
        return PrintAwareness(argv[2]);
    }
    if (argc == 4 && std::strcmp(argv[1], "dialog-units") == 0) {
        return PrintDialogUnits(argv[2], argv[3]);
    }
    std::fprintf(stderr, "usage: desktop-probe manifest EXE | awareness HWND | dialog-units FACE POINTS\n");
    return 1;
}
