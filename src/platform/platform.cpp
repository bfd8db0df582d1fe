#include "platform/platform.h"

#include "platform/refusing.h"

namespace platform {

namespace {

Services& Installed() {
    static Services services;
    return services;
}

// A copy of `services` with one service replaced.
template <typename Service>
Services Replaced(Services services, Service* Services::*member, Service& service) {
    services.*member = &service;
    return services;
}

}  // namespace

Services::Services()
    : Services(RefusingServices::Instance().registry, RefusingServices::Instance().network,
               RefusingServices::Instance().system, RefusingServices::Instance().files,
               RefusingServices::Instance().profile, RefusingServices::Instance().toolkit,
               RefusingServices::Instance().eventLog) {}

Services::Services(Registry& registry, Network& network, System& system, Files& files,
                   Profile& profile, Toolkit& toolkit, EventLog& eventLog)
    : registry_(&registry),
      network_(&network),
      system_(&system),
      files_(&files),
      profile_(&profile),
      toolkit_(&toolkit),
      eventLog_(&eventLog) {}

Services Services::With(Registry& registry) const {
    return Replaced(*this, &Services::registry_, registry);
}
Services Services::With(Network& network) const {
    return Replaced(*this, &Services::network_, network);
}
Services Services::With(System& system) const {
    return Replaced(*this, &Services::system_, system);
}
Services Services::With(Files& files) const {
    return Replaced(*this, &Services::files_, files);
}
Services Services::With(Profile& profile) const {
    return Replaced(*this, &Services::profile_, profile);
}
Services Services::With(Toolkit& toolkit) const {
    return Replaced(*this, &Services::toolkit_, toolkit);
}
Services Services::With(EventLog& eventLog) const {
    return Replaced(*this, &Services::eventLog_, eventLog);
}

const Services& Current() {
    return Installed();
}

ScopedServices::ScopedServices(const Services& services) : previous_(Installed()) {
    Installed() = services;
}

ScopedServices::~ScopedServices() {
    Installed() = previous_;
}

}  // namespace platform
