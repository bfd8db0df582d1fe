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
    : registry_(&RefusingServices::Instance().registry),
      network_(&RefusingServices::Instance().network),
      system_(&RefusingServices::Instance().system),
      files_(&RefusingServices::Instance().files),
      profile_(&RefusingServices::Instance().profile),
      toolkit_(&RefusingServices::Instance().toolkit) {}

Services::Services(Registry& registry, Network& network, System& system, Files& files,
                   Profile& profile, Toolkit& toolkit)
    : registry_(&registry),
      network_(&network),
      system_(&system),
      files_(&files),
      profile_(&profile),
      toolkit_(&toolkit) {}

Services Services::With(Registry& registry) const {
    Services copy = *this;
    copy.registry_ = &registry;
    return copy;
}

Services Services::With(Network& network) const {
    Services copy = *this;
    copy.network_ = &network;
    return copy;
}

Services Services::With(System& system) const {
    Services copy = *this;
    copy.system_ = &system;
    return copy;
}

Services Services::With(Files& files) const {
    Services copy = *this;
    copy.files_ = &files;
    return copy;
}

Services Services::With(Profile& profile) const {
    Services copy = *this;
    copy.profile_ = &profile;
    return copy;
}

Services Services::With(Toolkit& toolkit) const {
    Services copy = *this;
    copy.toolkit_ = &toolkit;
    return copy;
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
