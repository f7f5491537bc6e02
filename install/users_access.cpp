#include "install/users_access.h"

#include "install/grant_trace.h"
#include "install/install_log.h"

namespace install {

PSID AllocateUsersGroupSid() {
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID sid = nullptr;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                DOMAIN_ALIAS_RID_USERS, 0, 0, 0, 0, 0, 0, &sid)) {
    return nullptr;
  }
  return sid;
}

UsersAccessRequest UsersFullAccessRequest(PSID usersSid) {
  UsersAccessRequest request = {};
  EXPLICIT_ACCESS_A& entry = request.entry;
  entry.grfAccessPermissions = FILE_ALL_ACCESS;
  entry.grfAccessMode = SET_ACCESS;
  entry.grfInheritance = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
  entry.Trustee.pMultipleTrustee = nullptr;
  entry.Trustee.MultipleTrusteeOperation = NO_MULTIPLE_TRUSTEE;
  entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  entry.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  entry.Trustee.ptstrName = static_cast<LPSTR>(usersSid);
  request.objectType = SE_FILE_OBJECT;
  request.securityInformation = DACL_SECURITY_INFORMATION;
  return request;
}

void GrantUsersFullAccess(std::FILE* log, const std::string& folder) {
  WriteLogEntry(log, 0, "Dateirechte \xE4ndern f\xFCr ", folder.c_str());

  PSID usersSid = AllocateUsersGroupSid();
  if (usersSid == nullptr) {
    const DWORD error = GetLastError();
    WriteLogEntry(log, static_cast<int>(error), "AllocateAndInitializeSid (User) fehlgeschlagen");
    if (error != 0) FlushLog(log);
    return;
  }

  UsersAccessRequest request = UsersFullAccessRequest(usersSid);
  // No old list: the folder's current explicit entries are dropped, only ours remains.
  PACL newDacl = nullptr;
  const DWORD built = SetEntriesInAclA(1, &request.entry, nullptr, &newDacl);
  if (built != ERROR_SUCCESS) {
    WriteLogEntry(log, static_cast<int>(built), "SetEntriesInAcl () fehlgeschlagen");
    FlushLog(log);
    FreeSid(usersSid);
    return;
  }

  // SetNamedSecurityInfoA takes a writable name, though it does not change it.
  std::string objectName = folder;
  const DWORD applied =
      SetNamedSecurityInfoA(objectName.data(), request.objectType, request.securityInformation,
                            nullptr, nullptr, newDacl, nullptr);
  TraceGrant(folder, request, newDacl, applied);
  if (applied != ERROR_SUCCESS) {
    WriteLogEntry(log, static_cast<int>(applied), "SetNamedSecurityInfo () fehlgeschlagen f\xFCr ",
                  folder.c_str());
    if (applied != 0) FlushLog(log);
  } else {
    WriteLogEntry(log, 0, "Der Vollzugriff wurde f\xFCr Benutzer gesetzt f\xFCr ", folder.c_str());
  }

  FreeSid(usersSid);
  LocalFree(newDacl);
}

}  // namespace install
