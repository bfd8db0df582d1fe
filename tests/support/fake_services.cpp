#include "support/fake_services.h"

#include "platform/errors.h"

namespace testsupport {

platform::Win32Error FakeSystem::GetComputerNameW(uint32_t bufferSize, std::string* name) {
    ++computerNameCalls;
    computerNameBufferSize = bufferSize;
    if (computerNameError != 0) {
        return computerNameError;
    }
    if (computerName) {
        *name = *computerName;
        return 0;
    }
    return real_.GetComputerNameW(bufferSize, name);
}

std::string FakeSystem::ShortDayName(int day) {
    return locale ? locale->days.at(static_cast<size_t>(day)) : real_.ShortDayName(day);
}

std::string FakeSystem::ShortMonthName(int month) {
    return locale ? locale->months.at(static_cast<size_t>(month - 1)) : real_.ShortMonthName(month);
}

std::string FakeSystem::TimeSeparator() {
    return locale ? locale->timeSeparator : real_.TimeSeparator();
}

platform::Win32Error FakeNetwork::GetUser(const std::string& localName, uint32_t bufferSize,
                                          std::string* result) {
    ++userCalls;
    userAsked = localName + "/" + std::to_string(bufferSize);
    if (userError != 0) {
        return userError;
    }
    if (user) {
        *result = *user;
        return 0;
    }
    return real_.GetUser(localName, bufferSize, result);
}

platform::Win32Error FakeNetwork::CancelConnection(const std::string& name, uint32_t flags,
                                                   bool force) {
    calls.push_back("cancel " + name + " flags=" + std::to_string(flags) +
                    (force ? " forced" : " unforced"));
    return cancelResult ? *cancelResult : real_.CancelConnection(name, flags, force);
}

platform::Win32Error FakeNetwork::AddConnection(const platform::NetResource& resource,
                                                uint32_t flags) {
    calls.push_back("add " + resource.localName + "=" + resource.remoteName +
                    " type=" + std::to_string(resource.type) + " flags=" + std::to_string(flags));
    added.push_back(resource);
    return addResult ? *addResult : real_.AddConnection(resource, flags);
}

platform::Win32Error FakeFiles::ReadWholeFile(const std::string& path, std::string* contents) {
    if (locked.count(path) != 0) {
        return platform::kErrorSharingViolation;
    }
    return real_.ReadWholeFile(path, contents);
}

platform::Win32Error FakeFiles::FindFirst(const std::string& path, bool* isDirectory) {
    if (locked.count(path) != 0) {
        *isDirectory = false;
        return 0;
    }
    return real_.FindFirst(path, isDirectory);
}

platform::Win32Error FakeFiles::CopyFileW(const std::string& existing, const std::string& target,
                                          bool failIfExists) {
    if (onCopy) {
        onCopy();
    }
    return real_.CopyFileW(existing, target, failIfExists);
}

uint32_t FakeFiles::GetFileAttributesW(const std::string& path) {
    if (onAttributes) {
        onAttributes();
    }
    return real_.GetFileAttributesW(path);
}

platform::Win32Error FakeFiles::GetLastWriteTime(const std::string& path,
                                                 platform::FileTime* time) {
    const auto found = writeTimes.find(path);
    if (found != writeTimes.end()) {
        *time = found->second;
        return 0;
    }
    return real_.GetLastWriteTime(path, time);
}

}  // namespace testsupport
