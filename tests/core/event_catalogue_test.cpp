#include <gtest/gtest.h>

#include <string>

#include "platform/registry.h"
#include "registry_sandbox.h"
#include "store/settings_file.h"
#include "temp_dir.h"

namespace {

void AddEvent(const std::string& app, const std::string& event) {
  RegistryKey::Create(("AppEvents\\Schemes\\Apps\\" + app + "\\" + event).c_str());
}

class EventCatalogue : public RegistryTest {
 protected:
  // Loads an empty settings file, which builds the catalogue; returns the
  // event section as written.
  std::string Build() {
    EXPECT_TRUE(file.Open(dir.File("BTD.CFG").c_str()));
    file.LoadSettings();
    file.Close();  // it is open exclusively
    std::string saved = dir.Read("BTD.CFG");
    size_t section = saved.find("\r\n\r\n");
    return section == std::string::npos ? saved : saved.substr(section + 4);
  }

  TempDir dir;
  SettingsFile file;
};

}  // namespace

TEST_F(EventCatalogue, GroupsAndEventsInEnumerationOrderWithLabels) {
  SetDefault("AppEvents\\Schemes\\Apps\\.Default", "Windows");
  AddEvent(".Default", "SystemAsterisk");
  AddEvent(".Default", ".Default");
  SetDefault("AppEvents\\EventLabels\\SystemAsterisk", "Asterisk");
  SetDefault("AppEvents\\EventLabels\\.Default", "Default Beep");
  AddEvent("Explorer", "Navigating");
  SetDefault("AppEvents\\Schemes\\Apps\\Explorer", "");  // empty label: the key name

  EXPECT_EQ(
      "\\.Default\r\nWindows\r\n\r\n"
      ".Default\r\nDefault Beep\r\n\r\n"
      "SystemAsterisk\r\nAsterisk\r\n\r\n"
      "\\Explorer\r\nExplorer\r\n\r\n"
      "Navigating\r\nNavigating\r\n\r\n",
      Build());
  ASSERT_EQ(5, file.eventCount());  // 2 applications + 3 events
  EXPECT_EQ(-1, file.table[0].count);
  EXPECT_EQ(0, file.table[1].count);
  EXPECT_EQ(0, file.settings.Setup);
  EXPECT_EQ(1, file.settings.BootOnSoundChange);
}

TEST_F(EventCatalogue, ApplicationWithoutEventsOrLabel) {
  RegistryKey::Create("AppEvents\\Schemes\\Apps\\Lonely");
  EXPECT_EQ("\\Lonely\r\nLonely\r\n\r\n", Build());
}

TEST_F(EventCatalogue, NoRegistryGivesAnEmptyTable) {
  EXPECT_EQ("", Build());
  EXPECT_EQ(0, file.eventCount());
}

TEST_F(EventCatalogue, LabelsTooLongForTheBufferAreReplacedByTheKeyName) {
  SetDefault("AppEvents\\Schemes\\Apps\\App", std::string(128, 'L').c_str());
  AddEvent("App", "Ev");
  SetDefault("AppEvents\\EventLabels\\Ev", std::string(127, 'e').c_str());
  EXPECT_EQ("\\App\r\nApp\r\n\r\nEv\r\n" + std::string(127, 'e') + "\r\n\r\n", Build());
}

TEST_F(EventCatalogue, KeysWhoseTextWouldBreakTheFileAreLeftOut) {
  AddEvent("App", "Good");
  AddEvent("App", "Broken");
  SetDefault("AppEvents\\EventLabels\\Broken", "two\nlines");
  AddEvent("Bad", "Hidden");
  SetDefault("AppEvents\\Schemes\\Apps\\Bad", "carriage\rreturn");
  EXPECT_EQ("\\App\r\nApp\r\n\r\nGood\r\nGood\r\n\r\n", Build());
}

TEST_F(EventCatalogue, NameTooLongForTheBufferEndsThatLevel) {
  AddEvent("App", "a-first");
  AddEvent("App", "b" + std::string(127, 'x'));
  AddEvent("App", "c-after");
  AddEvent("Zed", "z");
  EXPECT_EQ("\\App\r\nApp\r\n\r\na-first\r\na-first\r\n\r\n\\Zed\r\nZed\r\n\r\nz\r\nz\r\n\r\n", Build());
}
