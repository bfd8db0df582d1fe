// The platform layer: every service the operating system provides to the
// system, reached through Current(). A service is never missing: until a
// platform is installed, and wherever one is not needed, the refusing
// services of platform/refusing.h stand in and refuse every call with a
// Win32 error code, so no caller ever checks for a missing service.
#pragma once
#include <memory>

namespace platform {

class Registry;
class Network;
class System;
class Files;
class Profile;
class Toolkit;
class EventLog;

// The services of one platform. Each one is always there; With()
// replaces one of them in a copy, so a test or a tool can change one
// service and keep the others.
class Services {
  public:
    // Every service refuses (platform/refusing.h).
    Services();
    Services(Registry& registry, Network& network, System& system, Files& files, Profile& profile,
             Toolkit& toolkit, EventLog& eventLog);

    Registry& registry() const { return *registry_; }
    Network& network() const { return *network_; }
    System& system() const { return *system_; }
    Files& files() const { return *files_; }
    Profile& profile() const { return *profile_; }
    Toolkit& toolkit() const { return *toolkit_; }
    EventLog& eventLog() const { return *eventLog_; }

    Services With(Registry& registry) const;
    Services With(Network& network) const;
    Services With(System& system) const;
    Services With(Files& files) const;
    Services With(Profile& profile) const;
    Services With(Toolkit& toolkit) const;
    Services With(EventLog& eventLog) const;

  private:
    Registry* registry_;
    Network* network_;
    System* system_;
    Files* files_;
    Profile* profile_;
    Toolkit* toolkit_;
    EventLog* eventLog_;
};

// The services every module uses now.
const Services& Current();

// Installs `services` for the life of this object; the services installed
// before come back when it ends. The objects are not owned: whoever
// installs them keeps them alive at least as long.
class ScopedServices {
  public:
    explicit ScopedServices(const Services& services);
    ~ScopedServices();
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

  private:
    Services previous_;
};

// The platform this program was built for (the real Windows calls, or the
// stand-in workstation on Linux), owning its services.
class NativePlatform {
  public:
    virtual ~NativePlatform() = default;
    virtual Services services() = 0;
};

std::unique_ptr<NativePlatform> CreateNativePlatform();

}  // namespace platform
