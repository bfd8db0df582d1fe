#include "logon/logon.h"

namespace logon {

void InitLogon() {}

}  // namespace logon
