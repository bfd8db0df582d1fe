#include "platform/platform.h"

namespace platform {

namespace {
Services g_services;
}

void Install(const Services& services) { g_services = services; }

const Services& Current() { return g_services; }

}  // namespace platform
