// The platform layer: every service the operating system provides to the
// system, installed once at start-up and reached through Current().
#pragma once
#include <memory>

namespace platform {

class Registry;
class Network;
class System;
class Files;
class Profile;
class Toolkit;

struct Services {
    Registry* registry = nullptr;
    Network* network = nullptr;
    System* system = nullptr;
    Files* files = nullptr;
    Profile* profile = nullptr;
    Toolkit* toolkit = nullptr;
};

// Makes `services` the platform every module uses from now on. The objects
// are not owned; whoever installs them keeps them alive.
void Install(const Services& services);
const Services& Current();

// The platform this program was built for (the real Windows calls, or the
// stand-in workstation on Linux), owning its services.
class NativePlatform {
public:
    virtual ~NativePlatform() = default;
    virtual Services services() = 0;
};

std::unique_ptr<NativePlatform> CreateNativePlatform();

}  // namespace platform
