#include <gtest/gtest.h>

#include <shlobj.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "cp932.h"
#include "dropped_files.h"
#include "modal_script.h"
#include "platform/win/unique_handle.h"
#include "registry_sandbox.h"
#include "schemes/wave_chunks.h"
#include "settings/settings_dlg.h"
#include "temp_dir.h"
#include "wave_file.h"

namespace {

constexpr int kTree = 1030, kList = 1000;
const char kTable[] = "Setup=1\r\n\r\n\\App\r\nApplication\r\n\r\nAlpha\r\nAlpha\r\n\r\nBeta\r\nBeta\r\n\r\n";

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Made by tests/sounds/make_test_sounds beside this program; looked for
// in UTF-16, where no trail byte looks like a backslash.
std::string SoundsFolder() {
  wchar_t path[MAX_PATH] = {};
  std::wstring folder(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  folder = folder.substr(0, folder.rfind(L'\\')) + L"\\sounds";
  char ansi[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, folder.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
  return ansi;
}

std::vector<std::string> ListLines(HWND dialog) {
  std::vector<std::string> lines;
  for (int i = 0; i < SendDlgItemMessageA(dialog, kList, LB_GETCOUNT, 0, 0); ++i) {
    char text[512] = {};
    SendDlgItemMessageA(dialog, kList, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    lines.push_back(text + 1);  // after the mark
  }
  return lines;
}

void Select(HWND dialog, int index) {
  HWND tree = GetDlgItem(dialog, kTree);
  HTREEITEM item = TreeView_GetChild(tree, TreeView_GetRoot(tree));
  for (int i = 0; i < index; ++i) item = TreeView_GetNextSibling(tree, item);
  TreeView_SelectItem(tree, item);
}

void DropFiles(HWND dialog, const std::vector<std::string>& names) {
  SendMessageA(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(names)), 0);
}

int FilesIn(const std::string& folder) {
  int count = 0;
  WIN32_FIND_DATAA found;
  UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &found));
  for (bool more = static_cast<bool>(find); more; more = FindNextFileA(find.get(), &found))
    count += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  return count;
}

class SoundConversionTest : public RegistryTest {
 protected:
  void Run(SoundDecoder decoder, const std::function<void(CSettingsDlg&, HWND)>& script) {
    dir.Write("BTD.CFG", kTable);
    ASSERT_TRUE(file.Open(dir.File("BTD.CFG").c_str()));
    file.LoadSettings();
    CSettingsDlg dlg(file, dir.path().c_str(), nullptr, LetAppPackagesRead, std::move(decoder));
    RunModal(dlg, [&] { script(dlg, dlg.m_hWnd); });
  }
  TempDir dir;
  SettingsFile file;
};

// A decoder that takes its time: a tenth of a second of 8 kHz silence for
// each file, after `delayMs`.
SoundDecoder SlowDecoder(int delayMs) {
  return [delayMs](const std::wstring&, const std::atomic<bool>& cancel, PcmSound& sound) {
    for (int waited = 0; waited < delayMs && !cancel; waited += 10) Sleep(10);
    sound = PcmSound{8000, 1, std::vector<std::int16_t>(800), false};
    return cancel ? E_ABORT : S_OK;
  };
}

}  // namespace

// Each format Windows decodes becomes a wave file of its rate and channels
// (more than two mixed down), as long as its source up to the ten seconds
// kept; names that collide are numbered; a file of no format is named with
// its reason; the same source added again, to another event, is the same
// wave file; the sources stay as they were; OK saves the converted files.
TEST_F(SoundConversionTest, EachFormatBecomesAPcmWaveFileOfItsRateAndChannels) {
  struct Row {
    const char* name;
    std::uint32_t rate;
    std::uint16_t channels;
    double seconds;
  };
  const Row rows[] = {{"tone.mp3", 44100, 2, 2},  {"tone.m4a", 48000, 2, 2}, {"tone.wma", 44100, 2, 2},
                      {"tone.flac", 22050, 1, 2}, {"tone.ogg", 32000, 1, 2}, {"six.flac", 48000, 2, 1},
                      {"long.ogg", 16000, 1, 10}};
  const std::string sounds = SoundsFolder();
  if (GetFileAttributesA((sounds + "\\tone.mp3").c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "no test sounds in " << sounds << " (tests/sounds/make_test_sounds makes them)";
  std::vector<std::string> dropped, before;
  for (const Row& row : rows) dropped.push_back(sounds + "\\" + row.name);
  dropped.push_back(sounds + "\\garbage.mp3");
  for (const std::string& path : dropped) before.push_back(Bytes(path));
  const std::string converted = dir.File("Converted");
  MessageBoxWatcher boxes;
  Run(DecodeWithMediaFoundation, [&](CSettingsDlg&, HWND dialog) {
    Select(dialog, 0);
    DropFiles(dialog, dropped);
    const std::vector<std::string> lines = ListLines(dialog);
    ASSERT_EQ(std::size(rows), lines.size());
    const char* names[] = {"tone.wav",     "tone (2).wav", "tone (3).wav", "tone (4).wav",
                           "tone (5).wav", "six.wav",      "long.wav"};
    for (std::size_t i = 0; i < lines.size(); ++i) {
      SCOPED_TRACE(rows[i].name);
      EXPECT_EQ(converted + "\\" + names[i], lines[i]);
      const WaveChunks wave = WalkWaveChunks(Bytes(lines[i]));
      EXPECT_EQ(1, wave.formatTag);
      EXPECT_EQ(16, wave.bitsPerSample);
      EXPECT_EQ(rows[i].channels, wave.channels);
      EXPECT_EQ(rows[i].rate, wave.samplesPerSecond);
      const double seconds = static_cast<double>(wave.dataBytes) / wave.blockAlign / wave.samplesPerSecond;
      EXPECT_NEAR(rows[i].seconds, seconds, 0.06);
    }
    Select(dialog, 1);
    DropFiles(dialog, {dropped[0]});
    EXPECT_EQ(std::vector<std::string>{lines[0]}, ListLines(dialog));
    EXPECT_EQ(static_cast<int>(std::size(rows)), FilesIn(converted));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    Pump(200);
  });
  for (std::size_t i = 0; i < dropped.size(); ++i) EXPECT_EQ(before[i], Bytes(dropped[i])) << dropped[i];
  EXPECT_NE(std::string::npos, Contents(file).find("\r\nBeta\r\nBeta\r\n-" + converted + "\\tone.wav\r\n"));
  ASSERT_EQ(1u, boxes.seen().size());
  EXPECT_EQ(Cp932("次のファイルは追加できませんでした。\n") + dropped.back() +
                Cp932("  （Windows で読めない形式のため、変換できません）"),
            boxes.seen()[0].text);
}

// A conversion that takes long shows its progress and leaves the UI thread
// free: a message sent to the settings window meanwhile is answered at
// once. Cancel keeps what was converted, and adds it.
TEST_F(SoundConversionTest, CancelMidwayKeepsWhatWasConvertedAndTheWindowAnswersThroughout) {
  TempDir sources;
  std::vector<std::string> dropped;
  for (int i = 0; i < 12; ++i) {
    dropped.push_back(sources.File(("sound" + std::to_string(i) + ".mp3").c_str()));
    sources.Write(("sound" + std::to_string(i) + ".mp3").c_str(), "any");
  }
  std::string progressText;
  std::size_t shown = 0;  // files done when Cancel was clicked
  WhenWindowAppears progress(Cp932("サウンドファイルを WAVE ファイルに変換しています"), [&](HWND window) {
    while (IsWindow(window) && (shown = std::atoi(WindowText(GetDlgItem(window, 1040)).c_str())) < 3) Pump(20);
    progressText = WindowText(GetDlgItem(window, 1040)) + "|" + WindowText(GetDlgItem(window, 1041));
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  });
  std::atomic<bool> converting{true}, asked{false};
  std::atomic<long long> slowest{0};
  std::atomic<int> answered{0};
  Run(SlowDecoder(250), [&](CSettingsDlg&, HWND dialog) {
    Select(dialog, 0);
    std::thread asker([&] {
      while (converting) {
        const auto start = std::chrono::steady_clock::now();
        DWORD_PTR length = 0;
        answered += SendMessageTimeoutA(dialog, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length) != 0;
        const auto took = std::chrono::steady_clock::now() - start;
        slowest = std::max<long long>(slowest, std::chrono::duration_cast<std::chrono::milliseconds>(took).count());
        Sleep(30);
      }
      asked = true;
    });
    DropFiles(dialog, dropped);
    converting = false;
    while (!asked) Pump(10);  // its last message answered
    asker.join();
    const std::vector<std::string> lines = ListLines(dialog);
    EXPECT_GE(lines.size(), shown);
    EXPECT_LT(lines.size(), dropped.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
      EXPECT_EQ(dir.File(("Converted\\sound" + std::to_string(i) + ".wav").c_str()), lines[i]);
    EXPECT_EQ(static_cast<int>(lines.size()), FilesIn(dir.File("Converted")));
  });
  EXPECT_TRUE(progress.seen());
  EXPECT_GE(shown, 3u);
  const std::string n = std::to_string(shown);
  EXPECT_EQ(n + Cp932(" / 12 個のファイルを変換しました|sound") + n + ".mp3", progressText);
  EXPECT_GT(answered, 10);
  EXPECT_LT(slowest, 500);  // blocked, it would wait for all twelve: 3 s
}

// Without Media Foundation nothing is converted, and one message says what
// to install.
TEST_F(SoundConversionTest, WithoutMediaFoundationOneMessageSaysWhatToInstall) {
  TempDir sources;
  for (const char* name : {"a.mp3", "b.wma"}) sources.Write(name, "any");
  MessageBoxWatcher boxes;
  Run([](const std::wstring&, const std::atomic<bool>&, PcmSound&) { return kNoMediaFoundation; },
      [&](CSettingsDlg&, HWND dialog) {
        Select(dialog, 0);
        DropFiles(dialog, {sources.File("a.mp3"), sources.File("b.wma")});
        EXPECT_TRUE(ListLines(dialog).empty());
      });
  ASSERT_EQ(1u, boxes.seen().size());
  EXPECT_NE(std::string::npos, boxes.seen()[0].text.find("Media Feature Pack"));
}

// What is converted: sound files by their names in a drop and in a dropped
// folder (by name, after its wave files), and whatever the file dialog gives
// that does not begin as a wave file does, whatever its name.
TEST(SoundFilesToConvert, AreSoundNamesInDropsAndAnyNonWaveChosen) {
  TempDir sources;
  CreateDirectoryA(sources.File("pack").c_str(), nullptr);
  for (const char* name : {"pack\\b.OGG", "pack\\a.mp3", "pack\\c.wav", "pack\\notes.txt", "one.flac", "x.wav"})
    sources.Write(name, std::string(name).find(".wav") != std::string::npos ? WaveBytes(10) : "sound");
  sources.Write("wave.snd", WaveBytes(10));
  sources.Write("song.bin", "sound");
  auto wide = [&](const char* name) {
    const std::string path = sources.File(name);
    return std::wstring(path.begin(), path.end());
  };
  const WaveFiles dropped = CollectWaveFiles({wide("one.flac"), wide("pack"), wide("x.wav"), wide("song.bin")});
  EXPECT_EQ((std::vector<std::wstring>{wide("one.flac"), wide("pack\\a.mp3"), wide("pack\\b.OGG")}), dropped.toConvert);
  EXPECT_EQ((std::vector<CString>{sources.File("pack\\c.wav").c_str(), sources.File("x.wav").c_str()}), dropped.paths);
  const WaveFiles chosen = ChosenFiles({wide("song.bin"), wide("wave.snd"), wide("x.wav")});
  EXPECT_EQ(std::vector<std::wstring>{wide("song.bin")}, chosen.toConvert);
  EXPECT_EQ((std::vector<CString>{sources.File("wave.snd").c_str(), sources.File("x.wav").c_str()}), chosen.paths);
}
