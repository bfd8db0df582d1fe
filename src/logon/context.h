// LogonContext: everything one logon works with, in one object that the
// entry point creates and hands down by reference: the platform services it
// runs on, the nine settings, the identity values, the five line lists, the
// one registry access object and its attached hive, and the window's news
// toggle. Nothing of it lives anywhere else, so two contexts (a test and the
// next, or the checker's users) never see each other's state.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/registry.h"
#include "core/string_list.h"
#include "platform/platform.h"

namespace logon {

class LogonContext {
  public:
    // Every setting at its default, the identity not yet learned, no list
    // and no registry object created yet.
    explicit LogonContext(const platform::Services& services);
    // Releases what is left, as Release does.
    ~LogonContext();
    LogonContext(const LogonContext&) = delete;
    LogonContext& operator=(const LogonContext&) = delete;

    // The services the logon runs on.
    platform::Services services;

    // The settings, holding their defaults until LoadConfig replaces them.
    std::string MachineDir;       // "Machine", default MACHINE\ (ends in "\")
    std::string UserDir;          // "User", default USER\ (ends in "\")
    std::string GroupDir;         // "Group", default GROUP\ (ends in "\")
    std::string GlobalDir;        // "Global", default GLOBAL\ (ends in "\")
    std::string NoticeFile;       // "Notice", default NOTICE.RTF
    std::string DefaultName;      // "Default", default _DEFAULT
    std::string UserListFile;     // "UserList", default USERLIST.DAT
    std::string ProcessOrder;     // "Process", default *gGuUmM
    std::string ScriptExtension;  // "Extension", default .DAT

    // The identity values: empty means not yet learned; "_Error" when the
    // system cannot supply the user or machine.
    std::string UserName;
    std::string MachineName;
    std::string FullName;
    std::string GroupName;
    std::string DateTimeText;

    // The settings file's lines as read, and the macro definitions: created
    // by LoadConfig.
    std::unique_ptr<core::TStringList> ConfigList;
    std::unique_ptr<core::TStringList> MacroList;
    // login name=full name lines; empty when the list file does not exist.
    std::unique_ptr<core::TStringList> FullNameList;
    // The failure messages of this run, one line each; created empty by the
    // logon's start-up and never cleared.
    std::unique_ptr<core::TStringList> ErrorList;
    // The assembled script: for each file loaded, ";---" + path, then its
    // lines; and the script files it was assembled from, in process order.
    std::unique_ptr<core::TStringList> CodeList;
    std::vector<std::string> CodeListFiles;

    // The one registry access object of the logon; every key is opened on it.
    std::unique_ptr<core::TRegistry> ScriptRegistry;
    // The path of the hive file the last L command attached; empty when none.
    std::string AttachedHive;

    // The window's news toggle: true while the news box is hidden.
    bool NewsHidden = false;
    // The logon's event has gone out: one event per logon, however it ended.
    bool EventReported = false;

    // Appends one failure message (every message is kept, equal ones too);
    // creates ErrorList when a failure comes before the logon's start-up.
    void AddError(const std::string& text);
    bool HasErrors() const { return ErrorList && ErrorList->Count() > 0; }
    // The messages ErrorList holds now (none while there is no list).
    std::vector<std::string> Errors() const;

    // Creates ScriptRegistry (root HKEY_CURRENT_USER, no key open) on the
    // registry service.
    void CreateScriptRegistry();

    // The shutdown steps, each tolerating what was never created:
    // FreeLogon releases ScriptRegistry (closing its key), ErrorList,
    // FullNameList and CodeList; FreeSettings releases MacroList, then
    // ConfigList.
    void FreeLogon();
    void FreeSettings();
    // The shutdown order, written once: FreeLogon, then FreeSettings. The
    // release order is therefore by module, not the reverse of creation.
    void Release();

    // Empties the identity values: user, full name, machine, date and time,
    // group, in this order.
    void ClearIdentity();
};

}  // namespace logon
