#pragma once
#include <string_view>

#include "link/LinkBus.h"
#include "link/TextTransfer.h"

namespace cuewire {

// The text link as its sender sees it: a transfer of a text, or word that
// the output shows no text.
class ILinkBroadcast {
  public:
    virtual ~ILinkBroadcast() = default;
    virtual void SendText(std::u16string_view text) = 0;
    virtual void SendClear() = 0;
};

// The text link carried by the registered message.
class CLinkBroadcast final : public ILinkBroadcast {
  public:
    explicit CLinkBroadcast(ILinkBus& bus) : m_bus(bus) {}
    void SendText(std::u16string_view text) override { PostTextTransfer(m_bus, text); }
    void SendClear() override { PostTextClear(m_bus); }

  private:
    ILinkBus& m_bus;  // not owned
};

}  // namespace cuewire
