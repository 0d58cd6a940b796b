#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <string>

#include "platform/registry.h"
#include "registry_sandbox.h"
#include "schemes/sound_schemes.h"

namespace {

using Read = RegistryKey::ReadResult;

EventEntry Group(const char* key) {
  EventEntry group;
  group.key = key;
  group.label = key;
  group.count = -1;
  return group;
}

EventEntry Event(const char* key, std::initializer_list<const char*> pool = {}) {
  EventEntry event;
  event.key = key;
  event.label = key;
  for (const char* candidate : pool) event.AppendCandidate(candidate, false);
  return event;
}

// The value, or "<missing>" / "<too long>".
std::string Value(const std::string& key, const char* name = nullptr) {
  CString value;
  switch (RegistryKey::OpenForRead(key.c_str()).QueryString(name, value)) {
    case Read::Ok:
      return value.str();
    case Read::Missing:
      return "<missing>";
    case Read::TooLong:
      return "<too long>";
  }
  return "";
}

std::string Current(const std::string& app, const std::string& event) {
  return Value("AppEvents\\Schemes\\Apps\\" + app + "\\" + event + "\\.Current");
}

const std::string kGroupKey = std::string(kTestKey) + "\\Sounds";

class SoundSchemes : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    RegistryKey::Create("AppEvents\\Schemes").SetString(nullptr, ".None");
    RegistryKey::Create("AppEvents\\Schemes\\Apps\\App\\Empty\\.Current").SetString(nullptr, "C:\\old.wav");
    *file.EditTable() = {Event("Orphan", {"C:\\orphan.wav"}),      Group("\\App"),
                         Event("Two", {"C:\\a.wav", "C:\\b.wav"}), Event("Empty"),
                         Event("One", {"+C:\\one.wav"}),           Group(("\\\\" + kGroupKey).c_str()),
                         Event("Named", {"C:\\named.wav"})};
  }

  SettingsFile file;  // not open: only its table
  const EventTable& table = file.table;
};

}  // namespace

TEST_F(SoundSchemes, ReassignmentWritesEveryEventWhereItsGroupSays) {
  AssignRandomSounds(file);
  EXPECT_EQ(".Current", Value("AppEvents\\Schemes"));
  std::string two = Current("App", "Two");
  EXPECT_TRUE(two == "C:\\a.wav" || two == "C:\\b.wav") << two;
  EXPECT_EQ("", Current("App", "Empty"));  // an empty pool clears the sound
  EXPECT_EQ("C:\\one.wav", Current("App", "One"));
  EXPECT_EQ("C:\\named.wav", Value(kGroupKey, "Named"));
  EXPECT_EQ("<missing>", Value(kGroupKey));
  // The event before the first group has nowhere to go.
  EXPECT_FALSE(RegistryKey::OpenForRead("AppEvents\\Schemes\\Apps\\Orphan"));
  EXPECT_EQ(CString("-C:\\orphan.wav|"), table[0].files);
}

TEST_F(SoundSchemes, PicksMoveThroughThePoolAndMarksRecordIt) {
  std::srand(3);
  std::set<std::string> heard;
  for (int i = 0; i < 2; ++i) {
    AssignRandomSounds(file);
    heard.insert(Current("App", "Two"));
  }
  EXPECT_EQ((std::set<std::string>{"C:\\a.wav", "C:\\b.wav"}), heard);
  EXPECT_EQ(CString("+C:\\a.wav|+C:\\b.wav|"), table[2].files);
  EXPECT_EQ(CString("+C:\\one.wav|"), table[4].files);  // a single candidate keeps its mark
}

TEST_F(SoundSchemes, MissingSchemesKeyIsNotCreatedButEventsAreWritten) {
  ClearTestKeys();
  AssignRandomSounds(file);
  EXPECT_EQ("<missing>", Value("AppEvents\\Schemes"));
  EXPECT_EQ("C:\\one.wav", Current("App", "One"));
}

TEST_F(SoundSchemes, EmptyTableOnlyActivatesTheCurrentScheme) {
  SettingsFile empty;
  AssignRandomSounds(empty);
  EXPECT_EQ(".Current", Value("AppEvents\\Schemes"));
}

TEST_F(SoundSchemes, SilenceClearsWhatAReassignmentWritesAndNothingElse) {
  AssignRandomSounds(file);
  EventTable before = table;
  SilenceSounds(table);
  EXPECT_EQ(".None", Value("AppEvents\\Schemes"));
  for (const char* event : {"Two", "Empty", "One"}) EXPECT_EQ("", Current("App", event)) << event;
  EXPECT_EQ("", Value(kGroupKey, "Named"));
  EXPECT_FALSE(RegistryKey::OpenForRead("AppEvents\\Schemes\\Apps\\Orphan"));
  for (size_t i = 0; i < table.size(); ++i) EXPECT_EQ(before[i].files, table[i].files);

  AssignRandomSounds(file);  // the next reassignment ends the silence
  EXPECT_EQ(".Current", Value("AppEvents\\Schemes"));
  EXPECT_EQ("C:\\one.wav", Current("App", "One"));
}

// Belltide's own writes, and what it found, against what someone else did
// afterwards; values longer than the 128-byte buffers compare whole.
TEST_F(SoundSchemes, OutsideChangesAreToldFromBelltidesOwnWrites) {
  const std::string kTwo = "AppEvents\\Schemes\\Apps\\App\\Two\\.Current";
  const std::string kLong = "C:\\" + std::string(200, 'x') + ".wav";
  file.EditTable()[4] = Event("One", {kLong.c_str()});
  using Outside = std::function<void()>;
  const struct {
    const char* name;
    SoundsInForce (*record)(SettingsFile&);
    Outside outside;
    OutsideChange seen;
  } kCases[] = {
      {"own reassignment", [](SettingsFile& f) { return AssignRandomSounds(f); }, [] {}, OutsideChange::None},
      {"own silence", [](SettingsFile& f) { return SilenceSounds(f.table); }, [] {}, OutsideChange::None},
      {"one event's sound", [](SettingsFile& f) { return AssignRandomSounds(f); },
       [&] { SetDefault(kTwo, "C:\\windows.wav"); }, OutsideChange::Sounds},
      {"a named value", [](SettingsFile& f) { return AssignRandomSounds(f); },
       [&] { RegistryKey::Create(kGroupKey.c_str()).SetString("Named", "C:\\n.wav"); }, OutsideChange::Sounds},
      {"a scheme applied", [](SettingsFile& f) { return AssignRandomSounds(f); },
       [] { SetDefault("AppEvents\\Schemes", ".Default"); }, OutsideChange::Sounds},
      {"no sounds", [](SettingsFile& f) { return AssignRandomSounds(f); },
       [&] { SetDefault("AppEvents\\Schemes", ".none"), SetDefault(kTwo, ""); }, OutsideChange::Silenced},
      {"a sound while silent", [](SettingsFile& f) { return SilenceSounds(f.table); },
       [&] { SetDefault(kTwo, "C:\\windows.wav"); }, OutsideChange::Sounds},
      {"found at start", [](SettingsFile& f) { return ReadSoundsInForce(f.table); }, [] {}, OutsideChange::None},
      {"found, then changed", [](SettingsFile& f) { return ReadSoundsInForce(f.table); },
       [&] { SetDefault("AppEvents\\Schemes\\Apps\\App\\Empty\\.Current", "C:\\x.wav"); }, OutsideChange::Sounds},
  };
  for (const auto& c : kCases) {
    SetDefault("AppEvents\\Schemes", ".Current");
    AssignRandomSounds(file);
    SoundsInForce record = c.record(file);
    c.outside();
    EXPECT_EQ(c.seen, record.Compare()) << c.name;
  }
}
