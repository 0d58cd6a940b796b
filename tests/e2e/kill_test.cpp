// belltide.exe killed at random instants while it saves, then started
// again: the start-up save of a file not yet in canonical form, the save
// after a reassignment, and the backup at the end. Each restart must run on
// the complete content of the last save or of the one before it, never on
// a mix or a part, and BTD_BAK.CFG must always be whole.
//   BELLTIDE_KILL_ROUNDS=500 (default 40) for a longer run.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "registry_sandbox.h"
#include "running_program.h"
#include "store/save_journal.h"
#include "temp_dir.h"

namespace {

constexpr UINT kReassignCommand = 32774, kExitCommand = 32776;
constexpr int kGroups = 20, kEventsPerGroup = 50, kCandidatesPerEvent = 50;

// A 2.6 MB settings file with bare line feeds and no header, so that the
// first load rewrites it.
std::string Generated() {
  std::string text = "Setup=1\nBootOnSoundChange=0\nBootWaitTime=60\nTimer=0\n\n";
  for (int g = 0, n = 0; g < kGroups; ++g) {
    text += "\\App" + std::to_string(g) + "\nApplication " + std::to_string(g) + "\n\n";
    for (int e = 0; e < kEventsPerGroup; ++e) {
      text += "Event" + std::to_string(e) + "\nEvent " + std::to_string(e) + "\n";
      for (int c = 0; c < kCandidatesPerEvent; ++c, ++n)
        text +=
            "-C:\\Users\\Public\\Music\\Library" + std::to_string(n % 37) + "\\chime_" + std::to_string(n) + ".wav\n";
      text += "\n";
    }
  }
  return text;
}

// The blocks of a settings file: each key with its candidate lines.
struct Block {
  std::string key;
  std::vector<std::string> candidates;
};

std::vector<Block> BlocksOf(const std::string& bytes) {
  std::vector<Block> blocks;
  std::vector<std::string> lines;
  for (size_t begin = 0, lf; begin < bytes.size(); begin = lf + 1) {
    lf = bytes.find('\n', begin);
    if (lf == std::string::npos) lf = bytes.size();
    std::string line = bytes.substr(begin, lf - begin);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  size_t i = 0;
  while (i < lines.size() && !lines[i].empty()) ++i;  // the options
  while (++i < lines.size()) {
    if (lines[i].empty()) continue;
    Block block{lines[i], {}};
    for (i += 2; i < lines.size() && !lines[i].empty(); ++i) block.candidates.push_back(lines[i]);
    blocks.push_back(block);
  }
  return blocks;
}

// The same events with the same paths; marks aside.
bool SamePools(const std::vector<Block>& a, const std::vector<Block>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].key != b[i].key || a[i].candidates.size() != b[i].candidates.size()) return false;
    for (size_t c = 0; c < a[i].candidates.size(); ++c)
      if (a[i].candidates[c].substr(1) != b[i].candidates[c].substr(1)) return false;
  }
  return true;
}

// Whether `after` is `before` with one more pick in every pool of two or
// more (a new cycle starts from all '-'), all of them, or with none.
enum class Picks { None, All, Mixed };
Picks PicksBetween(const std::vector<Block>& before, const std::vector<Block>& after) {
  int changed = 0, pools = 0;
  for (size_t i = 0; i < before.size(); ++i) {
    const auto& was = before[i].candidates;
    const auto& now = after[i].candidates;
    if (was.size() < 2) continue;
    ++pools;
    int wasUsed = 0, nowUsed = 0, newlyUsed = 0;
    for (size_t c = 0; c < was.size(); ++c) {
      wasUsed += was[c][0] == '+';
      nowUsed += now[c][0] == '+';
      newlyUsed += now[c][0] == '+' && was[c][0] != '+';
    }
    if (was == now) continue;
    bool onePick =
        newlyUsed == 1 && (nowUsed == wasUsed + 1 || (wasUsed == static_cast<int>(was.size()) && nowUsed == 1));
    if (!onePick) return Picks::Mixed;
    ++changed;
  }
  return changed == 0 ? Picks::None : changed == pools ? Picks::All : Picks::Mixed;
}

int Rounds() {
  const char* rounds = std::getenv("BELLTIDE_KILL_ROUNDS");
  return rounds && std::atoi(rounds) > 0 ? std::atoi(rounds) : 40;
}

class KillTest : public RegistryTest {
 protected:
  bool Exists(const char* name) const { return GetFileAttributesA(dir.File(name).c_str()) != INVALID_FILE_ATTRIBUTES; }
  // A kill in the middle of a save leaves its journal half written, or whole
  // but not yet applied: BTD.CFG may not hold it yet.
  bool SaveUnderWay() const {
    std::string journal = Exists("BTD_SAVE.CFG") ? dir.Read("BTD_SAVE.CFG") : "";
    return journal.size() > kJournalStateOffset && journal[kJournalStateOffset] != kJournalApplied;
  }

  // Starts the program on what the kill left and ends it normally: what it
  // loaded is then in BTD.CFG, and BTD_BAK.CFG is a copy of it.
  std::vector<Block> Restart() {
    RunningProgram program(dir.path());
    EXPECT_TRUE(program.WaitUntilShown()) << "message: " << program.AnswerMessageBox(0);
    program.PostCommand(kExitCommand);
    EXPECT_EQ(0, program.WaitForExit());
    std::string settings = dir.Read("BTD.CFG");
    EXPECT_EQ(settings, dir.Read("BTD_BAK.CFG"));
    for (const char* side : {"BTD_SAVE.TMP", "BTD_SAVE.CFG", "BTD_BAK.TMP", "BTD_KEPT.CFG"})
      EXPECT_FALSE(Exists(side)) << side;
    return BlocksOf(settings);
  }

  DWORD DelayAround(double aim) {
    return static_cast<DWORD>(std::max(0.0, std::uniform_real_distribution<>(aim - 25, aim + 15)(random)));
  }

  TempDir dir;
  std::mt19937 random{std::random_device{}()};
};

}  // namespace

TEST_F(KillTest, EveryRestartFindsACompleteSave) {
  const std::string generated = Generated();
  const std::vector<Block> pools = BlocksOf(generated);
  dir.Write("BTD.CFG", generated);

  // How long each step takes here, to aim the kills at its save.
  // Each step's kills aim at the instant of its save, first taken as the
  // end of the step, then moved by what each kill hit.
  double aim[3];
  {
    DWORD begin = GetTickCount();
    RunningProgram program(dir.path());
    ASSERT_TRUE(program.WaitUntilShown());
    aim[0] = GetTickCount() - begin;
    HWND status = program.WaitForStatusWindow();
    SendMessageTimeoutA(status, WM_COMMAND, kReassignCommand, 0, SMTO_NORMAL, 60000, nullptr);  // creates the keys
    begin = GetTickCount();
    SendMessageTimeoutA(status, WM_COMMAND, kReassignCommand, 0, SMTO_NORMAL, 60000, nullptr);
    aim[1] = GetTickCount() - begin;
    begin = GetTickCount();
    program.PostCommand(kExitCommand);
    ASSERT_EQ(0, program.WaitForExit());
    aim[2] = GetTickCount() - begin;
  }
  std::vector<Block> last = Restart();
  ASSERT_TRUE(SamePools(pools, last));

  // Per step: killed before its save, during it (a side file left), after it.
  int outcomes[3][3] = {};
  for (int round = 0; round < Rounds(); ++round) {
    int step = round % 3;
    std::string backup = dir.Read("BTD_BAK.CFG");
    int outcome;
    if (step == 0) {
      dir.Write("BTD.CFG", generated);
      last = BlocksOf(generated);
      RunningProgram program(dir.path());
      Sleep(DelayAround(aim[0]));
      program.Kill();
      outcome = SaveUnderWay() ? 1 : dir.Read("BTD.CFG") == generated ? 0 : 2;
    } else {
      RunningProgram program(dir.path());
      ASSERT_TRUE(program.WaitUntilShown());
      if (step == 2)  // a new content, so that the backup at exit changes
        SendMessageTimeoutA(program.WaitForStatusWindow(), WM_COMMAND, kReassignCommand, 0, SMTO_NORMAL, 60000,
                            nullptr);
      program.PostCommand(step == 1 ? kReassignCommand : kExitCommand);
      Sleep(DelayAround(aim[step]));
      program.Kill();
      if (step == 1) {
        std::vector<Block> now = BlocksOf(dir.Read("BTD.CFG"));
        bool picked = SamePools(last, now) && PicksBetween(last, now) == Picks::All;
        outcome = SaveUnderWay() ? 1 : picked ? 2 : 0;
      } else {
        std::string after = dir.Read("BTD_BAK.CFG");
        EXPECT_TRUE(after == backup || after == dir.Read("BTD.CFG")) << "round " << round << ": a torn backup";
        outcome = Exists("BTD_BAK.TMP") ? 1 : after == backup ? 0 : 2;
      }
    }
    ++outcomes[step][outcome];
    aim[step] += outcome == 0 ? 8 : outcome == 2 ? -8 : 0;

    std::vector<Block> loaded = Restart();
    ASSERT_TRUE(SamePools(pools, loaded)) << "round " << round << ": events or candidates lost";
    Picks picks = PicksBetween(last, loaded);
    ASSERT_NE(Picks::Mixed, picks) << "round " << round << ": marks of two saves mixed";
    if (step != 1) {
      EXPECT_EQ(step == 0 ? Picks::None : Picks::All, picks) << "round " << round;
    }
    last = loaded;
  }
  const char* steps[] = {"start-up save", "reassignment save", "backup at exit"};
  for (int step = 0; step < 3; ++step)
    std::printf("%-18s killed before %3d, during %3d, after %3d\n", steps[step], outcomes[step][0], outcomes[step][1],
                outcomes[step][2]);
}
