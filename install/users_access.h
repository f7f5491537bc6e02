#pragma once
// Giving the local Users group full access to the installation folder and all below it.
#include <aclapi.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace install {

// Everything that is handed to SetEntriesInAclA and SetNamedSecurityInfoA for the grant.
struct UsersAccessRequest {
  EXPLICIT_ACCESS_A entry;
  SE_OBJECT_TYPE objectType;
  SECURITY_INFORMATION securityInformation;
};

// Builds S-1-5-32-545 (BUILTIN\Users); release it with FreeSid. Null on failure, with the cause
// in GetLastError.
PSID AllocateUsersGroupSid();

// The one entry we grant: full file access for `usersSid`, replacing any entry it had, inherited
// by files and subfolders, applied to the DACL of a file-system object and nothing else.
UsersAccessRequest UsersFullAccessRequest(PSID usersSid);

// Performs the grant on `folder`, logging each step into `log` (which may be null).
void GrantUsersFullAccess(std::FILE* log, const std::string& folder);

}  // namespace install
