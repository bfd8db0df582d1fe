#pragma once
#include "platform/network.h"
#include "platform/standin/context.h"

namespace platform::standin {

class StandinNetwork : public Network {
public:
    explicit StandinNetwork(Context& context) : context_(context) {}
    uint32_t GetUser(const std::string& localName, uint32_t bufferSize,
                     std::string* user) override;
    uint32_t CancelConnection(const std::string& name, uint32_t flags, bool force) override;
    uint32_t AddConnection(const NetResource& resource, uint32_t flags) override;

private:
    Context& context_;
};

}  // namespace platform::standin
