// cuewire.exe whose frame buffers cannot be had: the real application, composed
// from the same shell, where only the allocation differs. A `new` cannot be made
// to fail inside the real process, so the refusal comes through the allocator.
//
//   CUEWIRE_REFUSE_FRAME_BUFFER=N   refuse request N (1-based) and every later
//                                   one; unset or 0 refuses none
//
// Every request and every free is printed on the standard output, one line
// each ("request <n> <words> given|refused", "free"), so that a test can see
// that what was given is given back.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "app/win/CuewireApp.h"
#include "app/win/DllSearch.h"
#include "link/LinkCodes.h"
#include "video/win/VirtualPixelBlockAllocator.h"

namespace {

class CRefusingFrameBuffers final : public cuewire::IPixelBlockAllocator {
  public:
    explicit CRefusingFrameBuffers(int refuseAt) : m_nRefuseAt(refuseAt) {}

    uint32_t* Allocate(size_t words) override {
        ++m_nRequests;
        const bool refused = m_nRefuseAt > 0 && m_nRequests >= m_nRefuseAt;
        uint32_t* buffer = refused ? nullptr : m_heap.Allocate(words);
        std::printf("request %d %zu %s\n", m_nRequests, words, buffer ? "given" : "refused");
        std::fflush(stdout);
        return buffer;
    }

    void Free(uint32_t* buffer) override {
        if (buffer) {
            std::printf("free\n");
            std::fflush(stdout);
        }
        m_heap.Free(buffer);
    }

  private:
    cuewire::CVirtualPixelBlockAllocator m_heap;
    int m_nRefuseAt;
    int m_nRequests = 0;
};

int RefuseAtFromEnvironment() {
    wchar_t value[16] = {};
    const DWORD length = GetEnvironmentVariableW(L"CUEWIRE_REFUSE_FRAME_BUFFER", value, 16);
    return length > 0 && length < 16 ? static_cast<int>(std::wcstol(value, nullptr, 10)) : 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    cuewire::RestrictDllSearchToSystem();  // as the program starts
    const UINT linkMessage =
        RegisterWindowMessageW(reinterpret_cast<const wchar_t*>(cuewire::kLinkMessageName));
    CRefusingFrameBuffers frameBuffers(RefuseAtFromEnvironment());
    cuewire::CCuewireApp app(instance, linkMessage, frameBuffers);
    return app.Run();
}
