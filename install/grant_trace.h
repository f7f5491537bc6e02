#pragma once
// A test hook: when the environment variable INSTALL_GRANT_TRACE names a file, the program writes
// into it what it handed to the system for the grant (the access entry, the object, the part of
// the security descriptor and the access list built from the entry) and the system's answer.
// Wine does not keep a folder's access list the way Windows does, so tests read this instead.
// Nobody sets the variable in normal use; then nothing is written and nothing changes.
#include <windows.h>

#include <string>

#include "install/users_access.h"

namespace install {

void TraceGrant(const std::string& folder, const UsersAccessRequest& request, PACL dacl,
                DWORD applyResult);

}  // namespace install
