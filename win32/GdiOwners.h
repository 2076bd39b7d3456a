#pragma once
#include <windows.h>

// One owner per GDI object the output creates, each counting what it creates and
// releases. Wine's GetGuiResources is a stub, so these counts are how a test proves
// that thousands of drawings leave nothing behind. UI thread only.

namespace cuewire {

// The kinds the owners count. kPrivateFont is a font registration for the process
// (AddFontMemResourceEx), not a GDI object, but leaks the same way.
enum class GdiKind { kWindowDC, kMemoryDC, kBitmap, kFont, kPrivateFont, kCount };

struct GdiKindCounts {
    long created = 0;
    long released = 0;
    long failedReleases = 0;  // a release call that reported failure
};

// Counts since the process started, for the given kind of object.
const GdiKindCounts& GdiCounts(GdiKind kind);

namespace gdi_detail {
void CountCreated(GdiKind kind);
void CountReleased(GdiKind kind, bool succeeded);
}  // namespace gdi_detail

// A window's (or, for a null window, the screen's) drawing context: GetDC / ReleaseDC.
class CWindowDC {
  public:
    explicit CWindowDC(HWND window);
    ~CWindowDC();
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;

    HDC Get() const { return m_hDC; }

  private:
    HWND m_hWnd;  // not owned
    HDC m_hDC;
};

// A memory drawing context: CreateCompatibleDC / DeleteDC.
class CMemoryDC {
  public:
    explicit CMemoryDC(HDC reference);
    ~CMemoryDC();
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    HDC Get() const { return m_hDC; }

  private:
    HDC m_hDC;
};

// A bitmap or font handle released with DeleteObject. Starts empty so that an
// owner can be declared where its lifetime must end and filled later.
template <typename Handle, GdiKind kKind>
class CGdiObject {
  public:
    CGdiObject() = default;
    explicit CGdiObject(Handle handle) { Reset(handle); }
    ~CGdiObject() { Reset(nullptr); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    void Reset(Handle handle) {
        if (m_handle) {
            gdi_detail::CountReleased(kKind, DeleteObject(m_handle) != FALSE);
        }
        m_handle = handle;
        if (m_handle) {
            gdi_detail::CountCreated(kKind);
        }
    }
    Handle Get() const { return m_handle; }

  private:
    Handle m_handle = nullptr;
};

using CBitmapObject = CGdiObject<HBITMAP, GdiKind::kBitmap>;
using CFontObject = CGdiObject<HFONT, GdiKind::kFont>;

// An icon the program loaded at a size of its own: DestroyIcon.
class CIconObject {
  public:
    CIconObject() = default;
    ~CIconObject() { Reset(nullptr); }
    CIconObject(const CIconObject&) = delete;
    CIconObject& operator=(const CIconObject&) = delete;

    void Reset(HICON icon) {
        if (m_hIcon) {
            DestroyIcon(m_hIcon);
        }
        m_hIcon = icon;
    }
    HICON Get() const { return m_hIcon; }

  private:
    HICON m_hIcon = nullptr;
};

// Selects an object into a drawing context and selects the previous one back
// when it ends, so the object can be deleted afterwards.
class CSelection {
  public:
    CSelection(HDC dc, HGDIOBJ object);
    ~CSelection();
    CSelection(const CSelection&) = delete;
    CSelection& operator=(const CSelection&) = delete;

    bool Succeeded() const { return m_hOld != nullptr && m_hOld != HGDI_ERROR; }

  private:
    HDC m_hDC;  // not owned
    HGDIOBJ m_hOld;
};

}  // namespace cuewire
