// The crash-state checker: each operation on the settings files is run once,
// from the start (recovery and load) to the normal end (last save, journal
// removed, backup), with its disk operations logged; then the folders a
// power cut may leave at every point of it (power_cut.h: all of them where
// a point has at most kStatesPerPoint, else the oldest, the newest, every
// prefix-torn one and kStatesPerPoint drawn with a fixed seed) are started
// from as the program starts. No state may lose a save that had returned:
// BTD.CFG ends up holding the content of the last save that returned
// before the cut or of a later one (before the first, one it began with);
// a backup is always a complete content; and a copy kept for the user (with
// its message) appears only where someone wrote bytes outside the protocol.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "platform/disk_log.h"
#include "power_cut.h"
#include "settings_text.h"
#include "store/settings_file.h"
#include "store/startup_files.h"
#include "temp_dir.h"

namespace {

using os_file::DiskOp;
namespace fs = std::filesystem;

constexpr size_t kStatesPerPoint = 4000;

bool SomePicked(int n) { return n % 4 == 0; }

// Thousands of starts, each forcing its saves to the disk: in memory where
// the system has such a folder, so that they neither take long nor hold up
// the disk for the tests that run beside them.
fs::path FolderInMemory() {
  std::error_code error;
  return fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
}

// A settings file as a hand or an older program writes it: bare line feeds.
std::string WithoutCr(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

// Told of each save that returned, with the file that saved.
using Saved = std::function<void(const SettingsFile&)>;

// One operation, and what it may leave. It runs after the start (recovery
// and load) on the folder `before`, and calls `saved` after each save but
// the last, which the checker sees itself.
struct Operation {
  const char* name;
  Folder before;                     // durable when it begins
  std::vector<std::string> earlier;  // the complete contents it begins with
  std::function<void(SettingsFile&, const StartupFiles&, const Saved& saved)> run = nullptr;
  bool handEdit = false;  // BTD.CFG holds bytes written outside the protocol
};

// A content whose save returned after the first `point` disk operations.
struct Returned {
  std::string content;
  size_t point;
};

struct Verdict {
  size_t states = 0;
  std::vector<std::string> faults;
};

bool IsKeptCopy(const std::string& name) { return name.rfind("BTD_KEPT", 0) == 0 && name.size() > 8; }

class Checker {
 public:
  Verdict Check(const Operation& op) {
    std::vector<DiskOp> log;
    std::vector<Returned> made;
    {
      TempDir dir(FolderInMemory());
      for (const auto& [name, bytes] : op.before) dir.Write(name.c_str(), bytes);
      StartupFiles files = FilesIn(dir.path());
      SettingsFile file;
      const Saved saved = [&](const SettingsFile& f) { made.push_back({*f.Content(), log.size()}); };
      os_file::LogDiskOps(&log);
      if (file.Open(files.settingsPath)) {
        files.Recover(file);
        file.LoadSettings();
        saved(file);
        if (op.run) op.run(file, files, saved);
        saved(file);
        files.Finish(file);
      }
      os_file::LogDiskOps(nullptr);
    }
    std::string edit = op.handEdit ? op.before.at("BTD.CFG") : "";
    std::set<std::string> complete(op.earlier.begin(), op.earlier.end());
    for (const Returned& save : made) complete.insert(save.content);
    if (op.handEdit) complete.insert(edit);

    Verdict verdict;
    verdict.states = ForEachPowerCut(op.before, log, kStatesPerPoint, 7, [&](const Folder& state, size_t point) {
      std::string fault = StartFrom(state, DurableAt(point, op, made, edit), complete, edit);
      if (!fault.empty())
        verdict.faults.push_back(std::string(op.name) + ", cut after " + Describe(log, point) + ": " + fault);
    });
    return verdict;
  }

 private:
  // What BTD.CFG may hold after a cut at `point`: the last save that had
  // returned, or a later one; before the first, what it began with too.
  static std::set<std::string> DurableAt(size_t point, const Operation& op, const std::vector<Returned>& made,
                                         const std::string& edit) {
    size_t first = 0;
    for (size_t i = 0; i < made.size(); ++i)
      if (made[i].point <= point) first = i + 1;
    std::set<std::string> durable;
    if (first == 0) {
      durable.insert(op.earlier.begin(), op.earlier.end());
      if (op.handEdit) durable.insert(edit);
    }
    for (size_t i = first == 0 ? 0 : first - 1; i < made.size(); ++i) durable.insert(made[i].content);
    return durable;
  }

  static StartupFiles FilesIn(const std::string& folder) {
    return {(fs::path(folder) / "BTD.CFG").string().c_str(), (fs::path(folder) / "BTD_BAK.CFG").string().c_str(),
            folder.c_str()};
  }

  static std::string Describe(const std::vector<DiskOp>& log, size_t point) {
    if (point == 0) return "nothing";
    static const char* const kKinds[] = {"create", "write", "truncate", "flush", "rename", "remove", "folder flush"};
    const DiskOp& op = log[point - 1];
    std::string name = fs::path(op.path).filename().string();
    return "op " + std::to_string(point) + " (" + kKinds[op.kind] + " " + name +
           (op.kind == DiskOp::Write
                ? " at " + std::to_string(op.at) + ", " + std::to_string(op.bytes.size()) + " bytes"
                : "") +
           ")";
  }

  // Starts as the program does on `state`; what went wrong, or empty.
  std::string StartFrom(const Folder& state, const std::set<std::string>& durable,
                        const std::set<std::string>& complete, const std::string& edit) {
    for (const auto& entry : fs::directory_iterator(m_dir.path())) fs::remove(entry.path());
    for (const auto& [name, bytes] : state) m_dir.Write(name.c_str(), bytes);
    StartupFiles files = FilesIn(m_dir.path());
    {
      SettingsFile file;
      if (!file.Open(files.settingsPath)) return "BTD.CFG cannot be opened";
      StartupRecovery recovery = files.Recover(file);
      if (recovery.failed) return "the start is refused";
      if (!file.LoadSettings()) return "the load fails";
    }
    std::string settings = m_dir.Read("BTD.CFG");
    if (!complete.count(settings))
      return "BTD.CFG holds a content never complete (" + std::to_string(settings.size()) + " bytes)";
    if (!durable.count(settings)) return "BTD.CFG lost a save that had returned";
    if (fs::exists(m_dir.File("BTD_BAK.CFG"))) {
      if (!complete.count(m_dir.Read("BTD_BAK.CFG"))) return "BTD_BAK.CFG is not a complete content";
    }
    bool editKept = edit.empty() || settings == edit;
    for (const auto& entry : fs::directory_iterator(m_dir.path())) {
      std::string name = entry.path().filename().string();
      if (!IsKeptCopy(name) || name.find(".TMP") != std::string::npos) continue;
      std::string kept = m_dir.Read(name.c_str());
      editKept = editKept || kept == edit;
      if (edit.empty() && !state.count(name)) return "a needless kept copy " + name + " (and its message)";
    }
    return editKept ? "" : "the hand edit is lost";
  }

  TempDir m_dir{FolderInMemory()};
};

void Expect(const Operation& op) {
  Verdict verdict = Checker().Check(op);
  std::printf("[ crash states ] %s: %zu states checked\n", op.name, verdict.states);
  EXPECT_GT(verdict.states, 5u) << op.name;
  for (size_t i = 0; i < verdict.faults.size() && i < 3; ++i) ADD_FAILURE() << verdict.faults[i];
  EXPECT_EQ(0u, verdict.faults.size()) << op.name;
}

}  // namespace

TEST(PowerCut, FirstStartRewritesTheFileInCanonicalForm) {
  const std::string handWritten = WithoutCr(Pools(130, SomePicked));
  Expect({"first start's canonical rewrite", {{"BTD.CFG", handWritten}}, {handWritten}});
}

TEST(PowerCut, FullSavesGrowAndShrink) {
  const std::string before = Pools(130, SomePicked);
  auto save = [](int candidates) {
    return [candidates](SettingsFile& file, const StartupFiles&, const Saved&) {
      file.EditTable()[1].ClearCandidates();
      for (int n = 0; n < candidates; ++n)
        file.EditTable()[1].AppendCandidate("C:\\Sounds\\bell_" + std::to_string(n) + ".wav", false);
      file.SaveSettings();
    };
  };
  Expect({"a full save that grows", {{"BTD.CFG", before}}, {before}, save(30)});
  Expect({"a full save that shrinks", {{"BTD.CFG", before}}, {before}, save(2)});
  Expect({"a full save of one length",
          {{"BTD.CFG", before}},
          {before},
          [](SettingsFile& file, const StartupFiles&, const Saved&) {
            file.settings.Timer = 7;
            file.SaveSettings();
          }});
}

// Two reassignments: the second rewrites the journal the first left.
TEST(PowerCut, MarksOnlySavesOneAfterAnother) {
  const std::string before = Pools(130, SomePicked);
  Expect({"marks-only saves",
          {{"BTD.CFG", before}},
          {before},
          [](SettingsFile& file, const StartupFiles&, const Saved& saved) {
            std::srand(3);
            for (int round = 0; round < 2; ++round) {
              for (int i = 0; i < file.eventCount(); ++i) file.PickCandidate(static_cast<size_t>(i));
              file.SaveSettings();
              saved(file);
            }
          }});
}

// A start that finds a save cut short finishes it, then saves over its
// journal; with and without bytes written into BTD.CFG since.
TEST(PowerCut, RecoveryFinishesACutSave) {
  const std::string old = Pools(130, SomePicked), saved = Pools(122, SomePicked, 5);
  std::string journal = Journal(old, saved), torn = saved.substr(0, 1024) + old.substr(1024), edited = old;
  edited.erase(edited.find("-C:\\Sounds\\chime_5.wav\r\n"), 24);
  auto saveAgain = [](SettingsFile& file, const StartupFiles&, const Saved&) {
    file.settings.Timer = 9;
    file.SaveSettings();
  };
  Expect({"recovery of a cut save", {{"BTD.CFG", torn}, {"BTD_SAVE.CFG", journal}}, {saved}, saveAgain});
  Expect({"recovery with a hand edit", {{"BTD.CFG", edited}, {"BTD_SAVE.CFG", journal}}, {saved}, saveAgain, true});
}

TEST(PowerCut, BackupAtExit) {
  const std::string before = Pools(130, SomePicked), older = Pools(50, SomePicked);
  Expect({"backup at exit",
          {{"BTD.CFG", before}, {"BTD_BAK.CFG", older}},
          {before, older},
          [](SettingsFile& file, const StartupFiles& files, const Saved&) { files.Finish(file); }});
}
