// The platform layer: every service the operating system provides to the
// system, reached through Current(). A service is never missing: until a
// platform is installed, and wherever one is not needed, the refusing
// services of platform/refusing.h stand in and refuse every call with a
// Win32 error code, so no caller ever checks for a missing service.
#pragma once
#include <memory>
#include <tuple>
#include <type_traits>

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

    Registry& registry() const { return *std::get<Registry*>(services_); }
    Network& network() const { return *std::get<Network*>(services_); }
    System& system() const { return *std::get<System*>(services_); }
    Files& files() const { return *std::get<Files*>(services_); }
    Profile& profile() const { return *std::get<Profile*>(services_); }
    Toolkit& toolkit() const { return *std::get<Toolkit*>(services_); }
    EventLog& eventLog() const { return *std::get<EventLog*>(services_); }

    // A copy with the one service that `service` is (a Registry, a Files,
    // ...) replaced by it.
    template <typename Service>
    Services With(Service& service) const {
        static_assert((IsA<Registry, Service>() + IsA<Network, Service>() + IsA<System, Service>() +
                       IsA<Files, Service>() + IsA<Profile, Service>() + IsA<Toolkit, Service>() +
                       IsA<EventLog, Service>()) == 1,
                      "With() takes exactly one kind of service");
        Services copy = *this;
        std::apply([&service](auto*&... slot) { (Put(slot, service), ...); }, copy.services_);
        return copy;
    }

  private:
    template <typename Slot, typename Service>
    static constexpr int IsA() {
        return std::is_convertible_v<Service*, Slot*> ? 1 : 0;
    }
    template <typename Slot, typename Service>
    static void Put(Slot*& slot, Service& service) {
        if constexpr (std::is_convertible_v<Service*, Slot*>) {
            slot = &service;
        }
    }

    std::tuple<Registry*, Network*, System*, Files*, Profile*, Toolkit*, EventLog*> services_;
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

// What the platform is opened for: a logon, which may change the
// workstation, or a look at it that must leave it as it found it (the
// stand-in then makes none of its own folders either).
enum class PlatformUse { kLogon, kInspect };

std::unique_ptr<NativePlatform> CreateNativePlatform(PlatformUse use = PlatformUse::kLogon);

// Whether a check made on this machine looks at it by default: the
// stand-in's state folder is the workstation it stands for, while a
// Windows machine is the checker's own, looked at only when asked.
bool ChecksLookHereByDefault();

}  // namespace platform
