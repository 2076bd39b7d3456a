#!/usr/bin/env bash
# The operator's keys, pressed for real (Shift and right Alt really held) on
# the foreground panel, and what a fresh NDI receiver sees after each.
source "$(dirname "$0")/copies.sh"

start_copy
hwnd=$(panel 1) || exit 1

# press KEY...: real key presses to the foreground window; each composition
# holds the panel at least half a second.
press() {
    probe keys "$@" || fail "cannot press $*"
    sleep 1.5
}
no_exit_question() {
    window_gone "Quit Cuewire" || fail "a key reached the Exit button"
    find_window "$TITLE_PREFIX" || fail "the panel is gone"
}

note "keys work while the edits are still disabled"
control_is_disabled "$hwnd" $IDC_SLOT_EDIT_1 || fail "the slot edits are usable during the start-up period"
press ralt+F3
expect_text "$hwnd" $IDC_SLOT_MODE_1 "Copy"
press ralt+F3
expect_text "$hwnd" $IDC_SLOT_MODE_1 "Go Live"
wait_until_typing_works "$hwnd"

note "F3 puts slot 1 live, F3 again takes it off"
type_into "$hwnd" $IDC_SLOT_EDIT_1 "Hello"
press F3
expect_text_shown slot1-live
press F3
expect_no_text slot1-off

note "Shift+F4 empties the second slot (F4 is slot 1, counting from 0)"
type_into "$hwnd" $IDC_SLOT_EDIT_2 "World"
press shift+F4
expect_text "$hwnd" $IDC_SLOT_EDIT_2 ""

note "right Alt+F10 turns the last slot to Copy and back; left Alt+F10 puts it live"
type_into "$hwnd" $IDC_SLOT_EDIT_8 "Eight"
press ralt+F10
expect_text "$hwnd" $IDC_SLOT_MODE_8 "Copy"
press ralt+F10
expect_text "$hwnd" $IDC_SLOT_MODE_8 "Go Live"
press alt+F10
expect_text_shown slot8-live

note "Alt+F4 toggles the second slot and the panel stays"
press alt+F4
expect_text "$hwnd" $IDC_SLOT_MODE_2 "Copy"
no_exit_question

note "the entry line takes 37 characters typed"
forty=$(printf 'x%.0s' {1..40})
probe mouse "$hwnd" $IDC_ENTRY && probe type "$forty" || fail "cannot type into the entry line"
expect_text "$hwnd" $IDC_ENTRY "${forty:0:37}"
press Escape

note "Return puts the entry line live; Escape clears the output and the line"
type_into "$hwnd" $IDC_ENTRY "Entry line"
press Return
expect_text_shown entry-live
no_exit_question
press Escape
expect_no_text escaped
expect_text "$hwnd" $IDC_ENTRY ""
no_exit_question
