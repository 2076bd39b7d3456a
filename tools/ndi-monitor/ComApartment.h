#pragma once
// The thread's COM apartment for as long as this object lives. The monitor
// runs one thread and no message loop, which single-threaded apartments want,
// so it joins the multithreaded one; the imaging objects work in either.
#include <objbase.h>

namespace cuewire {

class ComApartment {
  public:
    ComApartment() : m_hr(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComApartment() {
        // S_FALSE (already entered) also takes a reference that must be given back.
        if (SUCCEEDED(m_hr)) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    HRESULT Result() const { return m_hr; }

  private:
    HRESULT m_hr;
};

}  // namespace cuewire
