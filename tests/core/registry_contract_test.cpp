#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cp932.h"
#include "platform/registry.h"
#include "registry_sandbox.h"

namespace {

using Read = RegistryKey::ReadResult;

std::vector<std::string> SubKeys(const char* path) {
  std::vector<std::string> names;
  RegistryKey key = RegistryKey::OpenForRead(path);
  CString name;
  for (int i = 0; key.EnumSubKey(i, name); ++i) names.push_back(name.str());
  return names;
}

class RegistryContract : public RegistryTest {};

}  // namespace

TEST_F(RegistryContract, CreateMakesTheWholePathAndOpenFindsItInAnyCase) {
  EXPECT_FALSE(RegistryKey::OpenForRead("AppEvents\\Schemes"));
  EXPECT_FALSE(RegistryKey::OpenForWrite("AppEvents\\Schemes"));
  ASSERT_TRUE(RegistryKey::Create("AppEvents\\Schemes\\Apps\\.Default\\Beep\\.Current"));
  EXPECT_TRUE(RegistryKey::OpenForRead("APPEVENTS\\schemes\\apps\\.default"));
  EXPECT_TRUE(RegistryKey::OpenForWrite("AppEvents\\Schemes"));
}

TEST_F(RegistryContract, DefaultAndNamedStringValues) {
  RegistryKey key = RegistryKey::Create("AppEvents\\Schemes");
  ASSERT_TRUE(key);
  EXPECT_TRUE(key.SetString(nullptr, ".Current"));
  EXPECT_TRUE(key.SetString("Named", ""));
  CString value("stale");
  EXPECT_EQ(Read::Ok, key.QueryString(nullptr, value));
  EXPECT_EQ(CString(".Current"), value);
  EXPECT_EQ(Read::Ok, RegistryKey::OpenForRead("AppEvents\\Schemes").QueryString("", value));
  EXPECT_EQ(CString(".Current"), value);
  EXPECT_EQ(Read::Ok, key.QueryString("named", value));
  EXPECT_TRUE(value.IsEmpty());
  value = "stale";
  EXPECT_EQ(Read::Missing, key.QueryString("Other", value));
  EXPECT_TRUE(value.IsEmpty());
}

TEST_F(RegistryContract, ValuesMustFitTheBuffer) {
  RegistryKey key = RegistryKey::Create("AppEvents\\Sizes");
  std::string fits(127, 'f'), tooLong(128, 't');
  key.SetString("fits", fits.c_str());
  key.SetString("long", tooLong.c_str());
  CString value;
  EXPECT_EQ(Read::Ok, key.QueryString("fits", value));
  EXPECT_EQ(CString(fits.c_str()), value);
  EXPECT_EQ(Read::TooLong, key.QueryString("long", value));
  EXPECT_TRUE(value.IsEmpty());
}

// A path the code page spells reads as written, up to 127 bytes; a longer
// one that names no file has no short path to come by.
TEST_F(RegistryContract, PathValuesReadAsWrittenWithinTheBuffer) {
  RegistryKey key = RegistryKey::Create("AppEvents\\Paths");
  CString value("stale");
  EXPECT_EQ(Read::Missing, key.QueryPath(value));
  EXPECT_TRUE(value.IsEmpty());
  std::string path = "C:\\" + Cp932("ソ表") + "\\" + std::string(119, 'p');
  key.SetString(nullptr, path.c_str());
  EXPECT_EQ(Read::Ok, key.QueryPath(value));
  EXPECT_EQ(CString(path.c_str()), value);
  key.SetString(nullptr, (path + "p").c_str());
  EXPECT_EQ(Read::TooLong, key.QueryPath(value));
  EXPECT_TRUE(value.IsEmpty());
}

TEST_F(RegistryContract, SubKeysComeInOrderWithoutRegardToCase) {
  for (const char* name : {"beta", "Alpha", "gamma", "DELTA"})
    RegistryKey::Create((std::string("AppEvents\\Order\\") + name).c_str());
  EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "DELTA", "gamma"}), SubKeys("AppEvents\\Order"));
  EXPECT_TRUE(SubKeys("AppEvents\\Missing").empty());
}

// A name of 128 bytes does not fit the buffer: the enumeration ends there.
TEST_F(RegistryContract, LongNameEndsTheEnumeration) {
  std::string fits(127, 'a'), tooLong(128, 'b');
  RegistryKey::Create(("AppEvents\\Long\\" + fits).c_str());
  RegistryKey::Create(("AppEvents\\Long\\" + tooLong).c_str());
  RegistryKey::Create("AppEvents\\Long\\c");
  EXPECT_EQ((std::vector<std::string>{fits}), SubKeys("AppEvents\\Long"));
}

TEST_F(RegistryContract, DoubleByteNamesWithBackslashTrailBytes) {
  std::string name = Cp932("ソ表");  // 83 5C 95 5C
  ASSERT_TRUE(RegistryKey::Create(("AppEvents\\" + name + "\\x").c_str()));
  EXPECT_EQ((std::vector<std::string>{name}), SubKeys("AppEvents"));
  EXPECT_EQ((std::vector<std::string>{"x"}), SubKeys(("AppEvents\\" + name).c_str()));
}

TEST_F(RegistryContract, ClosedOrMissingKeysFailQuietly) {
  RegistryKey missing = RegistryKey::OpenForRead("AppEvents\\Nothing");
  CString value("stale");
  EXPECT_EQ(Read::Missing, missing.QueryString(nullptr, value));
  EXPECT_TRUE(value.IsEmpty());
  EXPECT_FALSE(missing.EnumSubKey(0, value));
  EXPECT_FALSE(missing.SetString(nullptr, "x"));
}
