#include "win32/GdiOwners.h"

namespace cuewire {

namespace {

GdiKindCounts g_counts[static_cast<int>(GdiKind::kCount)];

}  // namespace

const GdiKindCounts& GdiCounts(GdiKind kind) {
    return g_counts[static_cast<int>(kind)];
}

namespace gdi_detail {

void CountCreated(GdiKind kind) {
    ++g_counts[static_cast<int>(kind)].created;
}

void CountReleased(GdiKind kind, bool succeeded) {
    GdiKindCounts& counts = g_counts[static_cast<int>(kind)];
    ++counts.released;
    if (!succeeded) {
        ++counts.failedReleases;
    }
}

}  // namespace gdi_detail

CWindowDC::CWindowDC(HWND window) : m_hWnd(window), m_hDC(GetDC(window)) {
    if (m_hDC) {
        gdi_detail::CountCreated(GdiKind::kWindowDC);
    }
}

CWindowDC::~CWindowDC() {
    if (m_hDC) {
        gdi_detail::CountReleased(GdiKind::kWindowDC, ReleaseDC(m_hWnd, m_hDC) == 1);
    }
}

CMemoryDC::CMemoryDC(HDC reference) : m_hDC(CreateCompatibleDC(reference)) {
    if (m_hDC) {
        gdi_detail::CountCreated(GdiKind::kMemoryDC);
    }
}

CMemoryDC::~CMemoryDC() {
    if (m_hDC) {
        gdi_detail::CountReleased(GdiKind::kMemoryDC, DeleteDC(m_hDC) != FALSE);
    }
}

CSelection::CSelection(HDC dc, HGDIOBJ object)
    : m_hDC(dc), m_hOld(dc && object ? SelectObject(dc, object) : nullptr) {
}

CSelection::~CSelection() {
    if (Succeeded()) {
        SelectObject(m_hDC, m_hOld);
    }
}

}  // namespace cuewire
