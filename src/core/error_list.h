// ErrorList: the failure messages of this run, one line each. Every module
// reports its failures here; the run record and the window read it.
#pragma once
#include <memory>
#include <string>

#include "core/string_list.h"

namespace core {

// Created empty by the logon setup and never cleared during the process.
extern std::unique_ptr<TStringList> ErrorList;

// Appends one message (every message is kept, equal ones too).
void AddError(const std::string& text);
bool HasErrors();

}  // namespace core
