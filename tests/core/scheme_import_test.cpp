#include <gtest/gtest.h>

#include <string>

#include "cp932.h"
#include "platform/registry.h"
#include "registry_sandbox.h"
#include "schemes/scheme_import.h"

namespace {

void Assign(const std::string& app, const std::string& event, const std::string& scheme, const std::string& file) {
  SetDefault("AppEvents\\Schemes\\Apps\\" + app + "\\" + event + "\\" + scheme, file);
}

EventEntry Entry(const char* key, int count = 0) {
  EventEntry entry;
  entry.key = key;
  entry.label = key;
  entry.count = count;
  return entry;
}

class SchemeImport : public RegistryTest {
 protected:
  EventTable table{Entry("Orphan"),
                   Entry("\\App", -1),
                   Entry("Ev"),
                   Entry("Other"),
                   Entry((std::string("\\\\") + kTestKey).c_str(), -1),
                   Entry("Named")};
  EventEntry& ev() { return table[2]; }
};

}  // namespace

TEST_F(SchemeImport, ListsRegisteredSchemesButNotTheSilentOne) {
  SetDefault("AppEvents\\Schemes\\Names\\Beta", "Second");
  SetDefault("AppEvents\\Schemes\\Names\\alpha", Cp932("最初"));
  SetDefault("AppEvents\\Schemes\\Names\\.NONE", "No sounds");
  RegistryKey::Create("AppEvents\\Schemes\\Names\\Unnamed");
  SetDefault("AppEvents\\Schemes\\Names\\Wide", std::string(128, 'w'));  // does not fit: left out
  std::vector<SchemeName> schemes = ListSchemes();
  ASSERT_EQ(3u, schemes.size());
  EXPECT_EQ(CString("alpha"), schemes[0].keyName);
  EXPECT_EQ(CString(Cp932("最初").c_str()), schemes[0].displayName);
  EXPECT_EQ(CString("Beta"), schemes[1].keyName);
  EXPECT_EQ(CString("Unnamed"), schemes[2].keyName);
  EXPECT_TRUE(schemes[2].displayName.IsEmpty());
}

TEST_F(SchemeImport, NoSchemesKeyListsNothing) { EXPECT_TRUE(ListSchemes().empty()); }

TEST_F(SchemeImport, AppendsNewPathsAtTheEndWithTheUnpickedMark) {
  ev().AppendCandidate("+C:\\old.wav", false);
  Assign("App", "Ev", "Jazz", "C:\\new.wav");
  Assign("App", "Other", "Jazz", "C:\\other.wav");
  ImportScheme(table, "Jazz");
  EXPECT_EQ(CString("+C:\\old.wav|-C:\\new.wav|"), ev().files);
  EXPECT_EQ(2, ev().count);
  EXPECT_EQ(CString("-C:\\other.wav|"), table[3].files);
  ImportScheme(table, "Jazz");  // the same scheme twice adds nothing
  EXPECT_EQ(2, ev().count);
}

TEST_F(SchemeImport, DuplicatesAreExactBytes) {
  ev().AppendCandidate("C:\\Ding.wav", false);
  Assign("App", "Ev", "Same", "C:\\Ding.wav");
  Assign("App", "Ev", "Case", "C:\\DING.WAV");
  ImportScheme(table, "Same");
  ImportScheme(table, "Case");
  EXPECT_EQ(CString("-C:\\Ding.wav|-C:\\DING.WAV|"), ev().files);
}

TEST_F(SchemeImport, CurrentSoundsComeThroughThePseudoScheme) {
  Assign("App", "Ev", ".Current", "C:\\now.wav");
  ImportScheme(table, ".current");  // key names compare without regard to case
  EXPECT_EQ(CString("-C:\\now.wav|"), ev().files);
}

TEST_F(SchemeImport, ValuesThatCannotBeCandidatesAddNothing) {
  Assign("App", "Ev", "Empty", "");
  Assign("App", "Ev", "Bar", "C:\\a|b.wav");
  Assign("App", "Ev", "Break", "C:\\a\r\nb.wav");
  Assign("App", "Ev", "Long", "C:\\" + std::string(125, 'x'));  // 128 bytes: would be cut
  for (const char* scheme : {"Missing", "Empty", "Bar", "Break", "Long"}) ImportScheme(table, scheme);
  EXPECT_EQ(0, ev().count);
  EXPECT_TRUE(ev().files.IsEmpty());
}

TEST_F(SchemeImport, RegistryGroupsAndEventsBeforeAnyGroupGetNothing) {
  Assign("Orphan", "Orphan", "Jazz", "C:\\x.wav");
  Assign(std::string("\\") + kTestKey, "Named", "Jazz", "C:\\y.wav");
  ImportScheme(table, "Jazz");
  EXPECT_EQ(0, table[0].count);
  EXPECT_EQ(0, table[5].count);
}

TEST_F(SchemeImport, MarkedValuesKeepTheirMark) {
  Assign("App", "Ev", "Marked", "+C:\\m.wav");
  ImportScheme(table, "Marked");
  EXPECT_EQ(CString("+C:\\m.wav|"), ev().files);
}

TEST(SchemeItem, KeyNameStandsAtByteHundred) {
  CString item = SchemeItemText({"Jazz", ".Jazz"});
  EXPECT_EQ(105, item.GetLength());
  EXPECT_EQ(CString("Jazz") + CString(std::string(96, ' ')) + ".Jazz", item);
  EXPECT_EQ(CString(".Jazz"), SchemeKeyOfItem(item));
}

TEST(SchemeItem, LongDisplayNamesAreCutOnACharacterBoundary) {
  std::string name = std::string(99, 'a') + Cp932("ソ") + "tail";  // the 'ソ' straddles byte 100
  CString item = SchemeItemText({CString(name.c_str()), "Key"});
  EXPECT_EQ(CString("Key"), SchemeKeyOfItem(item));
  EXPECT_EQ(CString((std::string(99, 'a') + " Key").c_str()), item);
}
