#include "panel/ExitQuestion.h"

namespace cuewire {

std::u16string NoNumberQuestion(const CDiscovery& discovery) {
    std::u16string byCopies;
    std::u16string byOthers;
    for (int32_t number = 0; number < CDiscovery::kMaxCopies; ++number) {
        std::u16string& list = discovery.IsTaken(number) ? byCopies : byOthers;
        if (!list.empty()) {
            list += u", ";
        }
        list += static_cast<char16_t>(u'1' + number);
    }
    if (byOthers.empty()) {
        return kExitQuestion;
    }
    std::u16string text = u"No copy number is free.\nCopies on this desktop answered for: ";
    text += byCopies.empty() ? u"-" : byCopies;
    text += u'\n';
    text += u"No copy answered for: ";
    text += byOthers;
    text += u" (held by a copy still starting, a copy in another session, or another program)\n\n";
    text += kExitQuestion;
    return text;
}

}  // namespace cuewire
