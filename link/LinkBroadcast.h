#pragma once
#include "link/LinkProtocol.h"
#include "video/Composer.h"

namespace cuewire {

// The compositions' link broadcast, carried by the registered message.
class CLinkBroadcast final : public ILinkBroadcast {
  public:
    explicit CLinkBroadcast(ILinkBus& bus) : m_bus(bus) {}
    void SendText(std::u16string_view text) override { PostTextTransfer(m_bus, text); }
    void SendClear() override { PostTextClear(m_bus); }

  private:
    ILinkBus& m_bus;  // not owned
};

}  // namespace cuewire
