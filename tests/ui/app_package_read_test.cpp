#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <vector>

#include "platform/win/app_package_read.h"
#include "platform/win/unique_handle.h"
#include "temp_dir.h"
#include "wave_file.h"

namespace {

// A well-known SID by its string form; freed with LocalFree.
UniqueLocal Sid(const char* text) {
  PSID sid = nullptr;
  ConvertStringSidToSidA(text, &sid);
  return UniqueLocal(sid);
}

struct Ace {
  BYTE type, flags;
  ACCESS_MASK mask;
  std::vector<BYTE> sid;
  bool operator==(const Ace& other) const {
    return type == other.type && flags == other.flags && mask == other.mask && sid == other.sid;
  }
};

std::vector<Ace> AcesOf(PACL acl) {
  std::vector<Ace> aces;
  for (DWORD i = 0; i < acl->AceCount; ++i) {
    void* raw = nullptr;
    GetAce(acl, i, &raw);
    auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(raw);
    auto* sid = reinterpret_cast<BYTE*>(&ace->SidStart);
    aces.push_back(
        {ace->Header.AceType, ace->Header.AceFlags, ace->Mask, std::vector<BYTE>(sid, sid + GetLengthSid(sid))});
  }
  return aces;
}

// A file's DACL as Windows gives it: an explicit ACE of the user's kind,
// then those inherited from the folder.
struct FileDacl {
  FileDacl() {
    InitializeAcl(acl(), sizeof bytes, ACL_REVISION);
    AddAccessAllowedAceEx(acl(), ACL_REVISION, 0, FILE_ALL_ACCESS, everyone.get());
    AddAccessDeniedAceEx(acl(), ACL_REVISION, INHERITED_ACE, FILE_WRITE_DATA, users.get());
    AddAccessAllowedAceEx(acl(), ACL_REVISION, INHERITED_ACE, FILE_ALL_ACCESS, administrators.get());
  }
  PACL acl() { return reinterpret_cast<PACL>(bytes); }
  UniqueLocal everyone = Sid("S-1-1-0"), users = Sid("S-1-5-32-545"), administrators = Sid("S-1-5-32-544");
  alignas(DWORD) BYTE bytes[1024] = {};
};

}  // namespace

// The group's ACE joins the explicit ones, ahead of the inherited ones (where
// among the explicit allows is Windows' choice); every ACE there was stays as
// it was, in its order.
TEST(AppPackageRead, TheMergeAddsOneAceAndKeepsEveryOther) {
  FileDacl file;
  ASSERT_EQ(AppPackagesRead::NotGranted, AppPackagesReadOf(file.acl()));
  PACL merged = nullptr;
  ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), AddAppPackagesRead(file.acl(), merged));
  UniqueLocal owned(merged);
  const std::vector<Ace> before = AcesOf(file.acl());
  std::vector<Ace> after = AcesOf(merged);
  UniqueLocal group = Sid("S-1-15-2-1");
  const std::vector<BYTE> groupSid(static_cast<BYTE*>(group.get()),
                                   static_cast<BYTE*>(group.get()) + GetLengthSid(group.get()));
  const Ace added{ACCESS_ALLOWED_ACE_TYPE, 0, GENERIC_READ | GENERIC_EXECUTE, groupSid};
  auto at = std::find(after.begin(), after.end(), added);
  ASSERT_NE(after.end(), at);
  EXPECT_LT(at - after.begin(), 2);  // among the explicit ones, ahead of the inherited
  after.erase(at);
  EXPECT_EQ(before, after);
  EXPECT_EQ(AppPackagesRead::Granted, AppPackagesReadOf(merged));
}

// A file that lets the group read already, by an explicit or an inherited
// ACE, is left alone; an ACE that applies only to a folder's children, or
// one without read access, does not count; the first ACE that decides, in
// order, decides: a denial ahead of a grant blocks the read.
TEST(AppPackageRead, AnExistingGrantOrDenialIsSeen) {
  UniqueLocal group = Sid("S-1-15-2-1");
  struct GroupAce {
    bool allow;
    BYTE flags;
    ACCESS_MASK mask;
  };
  constexpr BYTE kInheritOnly = INHERITED_ACE | INHERIT_ONLY_ACE | OBJECT_INHERIT_ACE;
  const struct {
    std::vector<GroupAce> aces;
    AppPackagesRead read;
  } cases[] = {
      {{{true, 0, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE}}, AppPackagesRead::Granted},
      {{{true, INHERITED_ACE, FILE_GENERIC_READ}}, AppPackagesRead::Granted},
      {{{true, 0, GENERIC_READ}}, AppPackagesRead::Granted},
      {{{true, kInheritOnly, FILE_GENERIC_READ}}, AppPackagesRead::NotGranted},
      {{{true, 0, FILE_READ_ATTRIBUTES}}, AppPackagesRead::NotGranted},
      {{{false, 0, FILE_GENERIC_READ}}, AppPackagesRead::Denied},
      {{{false, 0, FILE_READ_DATA}, {true, INHERITED_ACE, FILE_GENERIC_READ}}, AppPackagesRead::Denied},
      {{{false, kInheritOnly, FILE_READ_DATA}, {true, INHERITED_ACE, FILE_GENERIC_READ}}, AppPackagesRead::Granted},
      {{{false, 0, FILE_WRITE_DATA}, {true, INHERITED_ACE, FILE_GENERIC_READ}}, AppPackagesRead::Granted},
      {{{true, 0, FILE_GENERIC_READ}, {false, INHERITED_ACE, FILE_READ_DATA}}, AppPackagesRead::Granted},
  };
  for (const auto& c : cases) {
    FileDacl file;
    for (const GroupAce& ace : c.aces) {
      if (ace.allow)
        AddAccessAllowedAceEx(file.acl(), ACL_REVISION, ace.flags, ace.mask, group.get());
      else
        AddAccessDeniedAceEx(file.acl(), ACL_REVISION, ace.flags, ace.mask, group.get());
    }
    EXPECT_EQ(c.read, AppPackagesReadOf(file.acl())) << std::hex << c.aces[0].mask << " " << int(c.aces[0].flags);
  }
  EXPECT_EQ(AppPackagesRead::Granted, AppPackagesReadOf(nullptr));  // a null DACL lets everyone in
}

// On a real file the calls go through: Wine keeps no ACLs, so only their
// success can be seen here, and a missing file's refusal.
TEST(AppPackageRead, ARealFileIsGrantedAndAMissingOneRefused) {
  TempDir dir;
  dir.Write("a.wav", WaveBytes(10));
  EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), LetAppPackagesRead(dir.File("a.wav").c_str()));
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), LetAppPackagesRead(dir.File("gone.wav").c_str()));
}
