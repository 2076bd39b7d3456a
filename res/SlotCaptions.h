#pragma once
// The captions of the slots' mode buttons, for the panel's template and its
// code. Plain defines of narrow literals so that the resource script can read
// them too; C++ widens them with u"" prefixes.
//
// The template's caption stands until a button is first toggled; from then on
// the panel writes its own, with a capital L. Operators know both as they are.
#define CUEWIRE_SLOT_CAPTION_AT_START "Go live"
#define CUEWIRE_SLOT_CAPTION_GO_LIVE "Go Live"
#define CUEWIRE_SLOT_CAPTION_COPY "Copy"
