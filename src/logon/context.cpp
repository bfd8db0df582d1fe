#include "logon/context.h"

namespace logon {

LogonContext::LogonContext(const platform::Services& services)
    : services(services),
      MachineDir("MACHINE\\"),
      UserDir("USER\\"),
      GroupDir("GROUP\\"),
      GlobalDir("GLOBAL\\"),
      NoticeFile("NOTICE.RTF"),
      DefaultName("_DEFAULT"),
      UserListFile("USERLIST.DAT"),
      ProcessOrder("*gGuUmM"),
      ScriptExtension(".DAT") {}

LogonContext::~LogonContext() {
    Release();
}

void LogonContext::Release() {
    FreeLogon();
    FreeSettings();
}

void LogonContext::AddError(const std::string& text) {
    if (!ErrorList) {
        ErrorList = std::make_unique<core::TStringList>();
    }
    ErrorList->Add(text);
}

std::vector<std::string> LogonContext::Errors() const {
    return ErrorList ? ErrorList->Lines() : std::vector<std::string>();
}

void LogonContext::CreateScriptRegistry() {
    ScriptRegistry = std::make_unique<core::TRegistry>(services.registry());
}

void LogonContext::FreeLogon() {
    ScriptRegistry.reset();
    ErrorList.reset();
    FullNameList.reset();
    CodeList.reset();
    CodeListFiles.clear();
}

void LogonContext::FreeSettings() {
    MacroList.reset();
    ConfigList.reset();
}

void LogonContext::ClearIdentity() {
    UserName.clear();
    FullName.clear();
    MachineName.clear();
    DateTimeText.clear();
    GroupName.clear();
}

}  // namespace logon
