#pragma once
#include "platform/profile.h"
#include "platform/standin/context.h"

namespace platform::standin {

class StandinProfile : public Profile {
public:
    explicit StandinProfile(Context& context) : context_(context) {}
    uint32_t WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                       const std::string& value,
                                       const std::string& file) override;

private:
    Context& context_;
};

}  // namespace platform::standin
