#pragma once
#include <windows.h>

#include <string>

// The painting steps both colour controls share. UI thread only.

namespace cuewire {

// Fills `face` with `colour` through the context's own brush, so nothing is
// created that would need releasing.
void FillFace(HDC dc, const RECT& face, COLORREF colour);

// Draws `text` centred on `face` in the context's current font and text colour,
// with a transparent background (restored afterwards). Ampersands are literal.
// A pressed caption moves by the press offset at `dpi`.
void DrawCentredCaption(HDC dc, const RECT& face, const std::wstring& text, bool pressed, int dpi);

}  // namespace cuewire
