#include "script/error_list.h"

namespace script {

std::unique_ptr<core::TStringList> ErrorList;

void AddError(const std::string& text) {
    if (!ErrorList) {
        ErrorList = std::make_unique<core::TStringList>();
    }
    ErrorList->Add(text);
}

bool HasErrors() { return ErrorList && ErrorList->Count() > 0; }

}  // namespace script
