#include "core/error_list.h"

namespace core {

std::unique_ptr<TStringList> ErrorList;

void AddError(const std::string& text) {
    if (!ErrorList) {
        ErrorList = std::make_unique<TStringList>();
    }
    ErrorList->Add(text);
}

bool HasErrors() {
    return ErrorList && ErrorList->Count() > 0;
}

}  // namespace core
