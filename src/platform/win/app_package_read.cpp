#include "platform/win/app_package_read.h"

#include <aclapi.h>

#include "platform/win/unique_handle.h"

namespace {

// S-1-15-2-1, built in place: nothing to free.
class AppPackagesSid {
 public:
  AppPackagesSid() {
    SID_IDENTIFIER_AUTHORITY appPackages = {{0, 0, 0, 0, 0, 15}};  // SECURITY_APP_PACKAGE_AUTHORITY
    InitializeSid(get(), &appPackages, 2);
    *GetSidSubAuthority(get(), 0) = 2;  // SECURITY_APP_PACKAGE_BASE_RID
    *GetSidSubAuthority(get(), 1) = 1;  // SECURITY_BUILTIN_PACKAGE_ANY_PACKAGE
  }
  PSID get() { return m_bytes; }

 private:
  alignas(DWORD) BYTE m_bytes[SECURITY_MAX_SID_SIZE] = {};
};

constexpr ACCESS_MASK kReads = FILE_READ_DATA | GENERIC_READ | GENERIC_ALL;

}  // namespace

AppPackagesRead AppPackagesReadOf(const ACL* dacl) {
  if (!dacl) return AppPackagesRead::Granted;
  AppPackagesSid group;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(const_cast<ACL*>(dacl), i, &ace)) break;
    // Allowed and denied ACEs share one layout.
    const auto* entry = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    const BYTE type = entry->Header.AceType;
    if ((type != ACCESS_ALLOWED_ACE_TYPE && type != ACCESS_DENIED_ACE_TYPE) ||
        (entry->Header.AceFlags & INHERIT_ONLY_ACE) || !(entry->Mask & kReads) ||
        !EqualSid(const_cast<DWORD*>(&entry->SidStart), group.get()))
      continue;
    return type == ACCESS_DENIED_ACE_TYPE ? AppPackagesRead::Denied : AppPackagesRead::Granted;
  }
  return AppPackagesRead::NotGranted;
}

DWORD AddAppPackagesRead(PACL dacl, PACL& merged) {
  AppPackagesSid group;
  EXPLICIT_ACCESS_W access = {};
  access.grfAccessPermissions = GENERIC_READ | GENERIC_EXECUTE;
  access.grfAccessMode = GRANT_ACCESS;
  access.grfInheritance = NO_INHERITANCE;
  access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  access.Trustee.ptstrName = static_cast<LPWSTR>(group.get());
  merged = nullptr;
  return SetEntriesInAclW(1, &access, dacl, &merged);
}

DWORD LetAppPackagesRead(const char* path) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  DWORD error = GetNamedSecurityInfoA(path, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                                      &descriptor);
  if (error != ERROR_SUCCESS) return error;
  UniqueLocal ownedDescriptor(descriptor);
  const AppPackagesRead read = AppPackagesReadOf(dacl);
  if (read != AppPackagesRead::NotGranted)
    return read == AppPackagesRead::Granted ? ERROR_SUCCESS : kAppPackagesReadDenied;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  if (!GetSecurityDescriptorControl(descriptor, &control, &revision)) return GetLastError();
  PACL merged = nullptr;
  if ((error = AddAppPackagesRead(dacl, merged)) != ERROR_SUCCESS) return error;
  UniqueLocal ownedMerged(merged);
  // Named, so that the DACL keeps inheriting from its folder, or keeps not.
  const SECURITY_INFORMATION inheritance =
      control & SE_DACL_PROTECTED ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION;
  return SetNamedSecurityInfoA(const_cast<char*>(path), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | inheritance,
                               nullptr, nullptr, merged, nullptr);
}
