#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace cuewire {

// A dialog made from a template resource: our thin framework layer. One static
// dialog procedure hands each message to HandleMessage on the object stored in
// DWLP_USER at WM_INITDIALOG. A modal run uses our own message loop, so the
// dialog sees every message (PreTranslateMessage) before any control does.
// UI thread only.
class CDialogWindow {
  public:
    CDialogWindow(HINSTANCE instance, int templateId)
        : m_hInstance(instance), m_nTemplateId(templateId) {}
    // Destroys the window if it still exists.
    virtual ~CDialogWindow();
    CDialogWindow(const CDialogWindow&) = delete;
    CDialogWindow& operator=(const CDialogWindow&) = delete;

    // Creates the dialog, disables the owner (if any) and runs our message loop
    // until End; returns End's result, or -1 when the dialog could not be created.
    INT_PTR RunModal(HWND owner);
    // Creates the dialog without running a loop; false when creation failed.
    bool CreateModeless(HWND owner);
    // Ends a modal run after the current message; destroys a modeless dialog.
    void End(INT_PTR result);

    HWND Handle() const { return m_hWnd; }
    HINSTANCE Instance() const { return m_hInstance; }
    HWND Control(int id) const { return GetDlgItem(m_hWnd, id); }
    std::wstring ControlText(int id) const;
    void SetControlText(int id, std::wstring_view text);
    void StartTimer(int id, int milliseconds);
    void StopTimer(int id);
    int ShowMessageBox(std::wstring_view text, std::wstring_view caption, UINT type);

  protected:
    // A dialog procedure's contract: TRUE when the message was handled. Messages
    // that return a value of their own use SetMessageResult, except those whose
    // value a dialog procedure returns directly (WM_CTLCOLOR*, WM_QUERYDRAGICON).
    virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Sees every message our loop fetches while this dialog runs modally, before
    // dialog navigation and dispatch. True drops the message.
    virtual bool PreTranslateMessage(const MSG& /*message*/) { return false; }
    void SetMessageResult(LRESULT result);

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunMessageLoop();
    // Dialog navigation (Tab, arrows, mnemonics) for the dialog the message is for.
    static bool IsNavigationMessage(MSG& message);

    HINSTANCE m_hInstance;  // not owned
    int m_nTemplateId;
    HWND m_hWnd = nullptr;  // owned: destroyed at End or with this object
    bool m_bModal = false;
    bool m_bEnded = false;
    INT_PTR m_nResult = 0;
};

}  // namespace cuewire
