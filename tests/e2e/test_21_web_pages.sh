#!/usr/bin/env bash
# Web pages: each link of the support dialog and of the panel, and one F1
# press, opens its page exactly once. Wine hands a web address to the desktop's
# browser through xdg-open, found on the Unix PATH that Wine's processes pass
# on; a stand-in early on that PATH logs each address instead of opening it.
source "$(dirname "$0")/copies.sh"

pages=$E2E_TEST_OUT/pages.log
bin=$E2E_TEST_OUT/bin
mkdir -p "$bin"
: >"$pages"
cat >"$bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$*" >>"$pages"
EOF
chmod +x "$bin/xdg-open"
export PATH=$bin:$PATH

# The addresses this build opens.
addresses=$BUILD_DIR/generated/res/WebAddresses.h
[ -f "$addresses" ] || fail "no $addresses"
address() { sed -n "s/^#define CUEWIRE_URL_$1 \"\(.*\)\"$/\1/p" "$addresses"; }
site=$(address MAKER_SITE)
shop=$(address MAKER_SHOP)
social=$(address MAKER_SOCIAL)
video=$(address MAKER_VIDEO)
ndi=$(address NDI_SITE)
help=$(address HELP)
[ -n "$site" ] && [ -n "$help" ] || fail "cannot read the addresses from $addresses"

# opened ADDRESS...: the log holds exactly these addresses, in any order, once
# no more have come for a while after the expected number arrived.
opened() {
    local want
    want=$(printf '%s\n' "$@" | sort)
    wait_for 30 log_has "$pages" . $# || fail "only $(wc -l <"$pages") of $# pages opened: $(tr '\n' ' ' <"$pages")"
    sleep 4  # a second opening of the same page would come within this
    local got
    got=$(sort "$pages")
    [ "$got" = "$want" ] || fail "pages opened: $(tr '\n' ' ' <<<"$got"), expected: $(tr '\n' ' ' <<<"$want")"
}

start_copy
wait_for 30 find_window "$SUPPORT_TITLE" || fail "the support dialog never appeared"
support=$FOUND

note "the support dialog's two buttons and two pictures"
for id in $IDC_SUPPORT_SITE $IDC_SUPPORT_SHOP $IDC_SUPPORT_SOCIAL $IDC_SUPPORT_VIDEO; do
    probe click "$support" "$id" || fail "cannot click $id"
done
opened "$site" "$shop" "$social" "$video"

hwnd=$(panel 1) || exit 1
note "the panel's two link buttons"
probe click "$hwnd" $IDC_LINK_MAKER || fail "cannot click $IDC_LINK_MAKER"
opened "$site" "$shop" "$social" "$video" "$site"
probe click "$hwnd" $IDC_LINK_NDI || fail "cannot click $IDC_LINK_NDI"
opened "$site" "$shop" "$social" "$video" "$site" "$ndi"

note "one F1 press"
probe foreground "$hwnd" || fail "cannot bring the panel to the front"
probe keys F1 || fail "cannot press F1"
opened "$site" "$shop" "$social" "$video" "$site" "$ndi" "$help"
note "every page opened once"
