#pragma once
#include "res/WebAddresses.h"

namespace cuewire {

// Every web page the program opens, and where each one is.
enum class WebPage { kMakerSite, kMakerShop, kNdiSite, kMakerSocial, kMakerVideo, kHelp };

constexpr const wchar_t* WebAddress(WebPage page) {
    switch (page) {
        case WebPage::kMakerSite:
            return L"" CUEWIRE_URL_MAKER_SITE;
        case WebPage::kMakerShop:
            return L"" CUEWIRE_URL_MAKER_SHOP;
        case WebPage::kNdiSite:
            return L"" CUEWIRE_URL_NDI_SITE;
        case WebPage::kMakerSocial:
            return L"" CUEWIRE_URL_MAKER_SOCIAL;
        case WebPage::kMakerVideo:
            return L"" CUEWIRE_URL_MAKER_VIDEO;
        case WebPage::kHelp:
            return L"" CUEWIRE_URL_HELP;
    }
    return L"";
}

}  // namespace cuewire
