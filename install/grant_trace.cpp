#include "install/grant_trace.h"

#include <sddl.h>

#include <cstdio>
#include <vector>

namespace install {
namespace {

constexpr char kTraceVariable[] = "INSTALL_GRANT_TRACE";

std::string TracePath() {
  const DWORD size = GetEnvironmentVariableA(kTraceVariable, nullptr, 0);
  if (size == 0) return "";
  std::vector<char> path(size);
  if (GetEnvironmentVariableA(kTraceVariable, path.data(), size) >= size) return "";
  return path.data();
}

std::string SidText(PSID sid) {
  char* text = nullptr;
  if (sid == nullptr || !ConvertSidToStringSidA(sid, &text)) return "?";
  std::string result = text;
  LocalFree(text);
  return result;
}

void TraceAclEntries(std::FILE* trace, PACL dacl) {
  ACL_SIZE_INFORMATION size = {};
  if (dacl == nullptr || !GetAclInformation(dacl, &size, sizeof size, AclSizeInformation)) {
    std::fprintf(trace, "acl_entries=?\n");
    return;
  }
  std::fprintf(trace, "acl_entries=%lu\n", static_cast<unsigned long>(size.AceCount));
  for (DWORD i = 0; i < size.AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(dacl, i, &ace)) continue;
    const auto* header = static_cast<const ACE_HEADER*>(ace);
    // Allowed and denied entries share the layout: header, mask, then the SID.
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    std::fprintf(trace, "acl_entry%lu=type %u flags %u mask %lu sid %s\n",
                 static_cast<unsigned long>(i), header->AceType, header->AceFlags,
                 static_cast<unsigned long>(allowed->Mask),
                 SidText(const_cast<DWORD*>(&allowed->SidStart)).c_str());
  }
}

}  // namespace

void TraceGrant(const std::string& folder, const UsersAccessRequest& request, PACL dacl,
                DWORD applyResult) {
  const std::string path = TracePath();
  if (path.empty()) return;
  std::FILE* trace = std::fopen(path.c_str(), "wb");
  if (trace == nullptr) return;

  const EXPLICIT_ACCESS_A& entry = request.entry;
  const TRUSTEE_A& trustee = entry.Trustee;
  std::fprintf(trace, "object=%s\n", folder.c_str());
  std::fprintf(trace, "object_type=%d\n", static_cast<int>(request.objectType));
  std::fprintf(trace, "security_information=%lu\n",
               static_cast<unsigned long>(request.securityInformation));
  std::fprintf(trace, "trustee_form=%d\n", static_cast<int>(trustee.TrusteeForm));
  std::fprintf(trace, "trustee_type=%d\n", static_cast<int>(trustee.TrusteeType));
  std::fprintf(trace, "trustee_sid=%s\n",
               trustee.TrusteeForm == TRUSTEE_IS_SID ? SidText(trustee.ptstrName).c_str() : "-");
  std::fprintf(trace, "multiple_trustee=%s operation %d\n",
               trustee.pMultipleTrustee == nullptr ? "none" : "set",
               static_cast<int>(trustee.MultipleTrusteeOperation));
  std::fprintf(trace, "access_rights=%lu\n",
               static_cast<unsigned long>(entry.grfAccessPermissions));
  std::fprintf(trace, "access_mode=%d\n", static_cast<int>(entry.grfAccessMode));
  std::fprintf(trace, "inheritance=%lu\n", static_cast<unsigned long>(entry.grfInheritance));
  TraceAclEntries(trace, dacl);
  std::fprintf(trace, "apply_result=%lu\n", static_cast<unsigned long>(applyResult));
  std::fclose(trace);
}

}  // namespace install
