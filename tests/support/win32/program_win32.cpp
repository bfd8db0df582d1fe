// Starting a program on Windows: CreateProcess, its standard handles
// inherited from files this process opens, or from a pipe.
#include <windows.h>

#include <cctype>
#include <cstring>

#include "support/program.h"

namespace testsupport {

namespace {

std::string Quoted(const std::string& arg) {
    std::string quoted = "\"";
    for (char c : arg) {
        if (c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

HANDLE OpenOutput(const std::filesystem::path& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileA(path.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         &inherit, CREATE_ALWAYS, 0, nullptr);
}

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

// This process's environment with the start's changes, as CreateProcess
// takes it: "NAME=value" strings one after another, then an empty one.
std::string EnvironmentBlock(const ProgramStart& start) {
    std::vector<std::string> variables;
    if (char* strings = ::GetEnvironmentStringsA()) {
        for (const char* entry = strings; *entry; entry += std::strlen(entry) + 1) {
            variables.emplace_back(entry);
        }
        ::FreeEnvironmentStringsA(strings);
    }
    for (const auto& [name, value] : start.environment) {
        const std::string key = Upper(name) + "=";
        for (auto it = variables.begin(); it != variables.end();) {
            it = Upper(it->substr(0, key.size())) == key ? variables.erase(it) : it + 1;
        }
        if (value) {
            variables.push_back(name + "=" + *value);
        }
    }
    std::string block;
    for (const std::string& variable : variables) {
        block += variable;
        block += '\0';
    }
    block += '\0';
    return block;
}

}  // namespace

Program::Program(const ProgramStart& start) {
    const std::string program = start.program.string();
    std::string commandLine = start.commandLine;
    if (commandLine.empty()) {
        commandLine = Quoted(program);
        for (const std::string& arg : start.args) {
            commandLine += " " + Quoted(arg);
        }
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    HANDLE out = nullptr, err = nullptr, in = nullptr;
    if (!start.output.empty() || !start.errors.empty() || start.inputPipe) {
        out = start.output.empty() ? nullptr : OpenOutput(start.output);
        err = start.errors.empty()           ? nullptr
              : start.errors == start.output ? out
                                             : OpenOutput(start.errors);
        if (start.inputPipe) {
            SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
            HANDLE write = nullptr;
            if (::CreatePipe(&in, &write, &inherit, 0)) {
                ::SetHandleInformation(write, HANDLE_FLAG_INHERIT, 0);
                input_ = reinterpret_cast<std::intptr_t>(write);
            }
        }
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in;
        startup.hStdOutput = out ? out : ::GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = err ? err : ::GetStdHandle(STD_ERROR_HANDLE);
    }
    std::string environment;
    if (!start.environment.empty()) {
        environment = EnvironmentBlock(start);
    }
    const std::string directory = start.directory.string();
    PROCESS_INFORMATION info{};
    if (::CreateProcessA(start.commandLine.empty() ? program.c_str() : nullptr, commandLine.data(),
                         nullptr, nullptr, TRUE, 0,
                         environment.empty() ? nullptr : environment.data(),
                         directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
        handle_ = info.hProcess;
        id_ = info.dwProcessId;
        ::CloseHandle(info.hThread);
    } else {
        startErrorCode_ = ::GetLastError();
        startError_ =
            "cannot start " + commandLine + " (error " + std::to_string(startErrorCode_) + ")";
    }
    for (HANDLE handle : {in, out, err == out ? nullptr : err}) {
        if (handle && handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
        }
    }
}

Program::~Program() {
    if (handle_ && !exitCode_ && ::WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT) {
        Kill();
    }
    CloseInput();
    Release();
}

std::optional<int> Program::Wait(std::chrono::milliseconds limit) {
    if (exitCode_ || !handle_) {
        return exitCode_;
    }
    if (::WaitForSingleObject(handle_, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(handle_, &code);
    exitCode_ = static_cast<int>(code);
    return exitCode_;
}

void Program::Kill(unsigned exitCode) {
    if (!handle_ || exitCode_) {
        return;
    }
    ::TerminateProcess(handle_, exitCode);
    ::WaitForSingleObject(handle_, 5000);
}

bool Program::Input(const std::string& text) {
    DWORD written = 0;
    return input_ != -1 &&
           ::WriteFile(reinterpret_cast<HANDLE>(input_), text.data(),
                       static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

void Program::CloseInput() {
    if (input_ != -1) {
        ::CloseHandle(reinterpret_cast<HANDLE>(input_));
        input_ = -1;
    }
}

void Program::Release() {
    if (handle_) {
        ::CloseHandle(handle_);
        handle_ = nullptr;
    }
}

}  // namespace testsupport
