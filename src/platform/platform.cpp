#include "platform/platform.h"

#include "platform/refusing.h"

namespace platform {

namespace {

Services& Installed() {
    static Services services;
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
    : services_(&registry, &network, &system, &files, &profile, &toolkit, &eventLog) {}

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
