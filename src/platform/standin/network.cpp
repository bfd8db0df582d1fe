#include "platform/standin/network.h"

#include "platform/errors.h"

namespace platform::standin {

uint32_t StandinNetwork::GetUser(const std::string&, uint32_t, std::string*) {
    return kErrorNoNetwork;
}
uint32_t StandinNetwork::CancelConnection(const std::string&, uint32_t, bool) {
    return kErrorNotConnected;
}
uint32_t StandinNetwork::AddConnection(const NetResource&, uint32_t) { return kErrorNoNetwork; }

}  // namespace platform::standin
