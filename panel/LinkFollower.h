#pragma once
#include "link/LinkBroadcast.h"
#include "video/OutputFollower.h"

namespace cuewire {

// Where the output and the text link meet: what an announced composition
// shows goes out over the link, before its frame does.
class CLinkFollower final : public IOutputFollower {
  public:
    explicit CLinkFollower(ILinkBroadcast& link) : m_link(link) {}
    void TextShown(std::u16string_view text) override { m_link.SendText(text); }
    void TextCleared() override { m_link.SendClear(); }

  private:
    ILinkBroadcast& m_link;  // not owned
};

}  // namespace cuewire
