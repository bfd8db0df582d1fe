// A stand-in workstation in a fresh temporary state directory of its own,
// removed again with this object: the fixture of the stand-in's own tests,
// of the test platform on Linux and of the fuzz targets. It has no test
// framework in it, so that the fuzz targets (built without one) link it too.
#pragma once
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/standin/standin_platform.h"

namespace testsupport {

class ScratchStandin {
  public:
    // The state directory is <temp>/tarnwick-<tag>-XXXXXX, on a RAM disk
    // where /dev/shm exists; `tag` tells whose it is. Its user has the
    // rights given: an administrator's unless a test asks for a standard
    // user's, as every test under Wine runs with an administrator's.
    explicit ScratchStandin(const std::string& tag,
                            platform::Rights rights = platform::Rights::kAdministrator);
    ~ScratchStandin();
    ScratchStandin(const ScratchStandin&) = delete;
    ScratchStandin& operator=(const ScratchStandin&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    // Where drive `letter` lies (drive C always exists).
    std::filesystem::path Drive(char letter = 'c') const;

    platform::standin::StandinPlatform& platform() { return *platform_; }
    platform::Services services() { return platform_->services(); }
    // Installs the workstation's services until this object ends.
    void Install();
    // A new process on the same workstation: a fresh platform object on the
    // same state directory (installed in place of the old one if that was).
    void Restart();

    // identity.ini with these lines, and the rights the workstation was
    // made with.
    void WriteIdentity(const std::string& lines) const;
    // Writes `bytes` to a host file below the state directory, making its
    // folders; returns its path.
    std::filesystem::path Write(const std::string& relative, const std::string& bytes) const;
    // A host file's bytes (empty when it cannot be read).
    static std::string Read(const std::filesystem::path& path);

  private:
    std::filesystem::path dir_;
    platform::Rights rights_;
    std::unique_ptr<platform::standin::StandinPlatform> platform_;
    std::optional<platform::ScopedServices> installed_;
};

}  // namespace testsupport
