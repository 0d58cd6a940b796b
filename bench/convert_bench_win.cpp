// Time of a drop of 100 two-second MP3 files on the settings dialog,
// in-process under Wine: from the WM_DROPFILES until the handler returns
// with the last converted file listed (a fresh Converted folder each round),
// in files a second. Then where the time goes: each phase of one file's
// conversion timed alone over the same files.
//   tests/sounds/make_test_sounds SOUNDS
//   cmake --build build/x86_64 --target convert_bench_win
//   tools/wine-exec build/x86_64/bench/convert_bench_win.exe SOUNDS\tone.mp3 [ROUNDS] [HOLD_MS]
// HOLD_MS keeps the dialog shown that long after each drop, for a look.

#include <windows.h>
#include <commctrl.h>
#include <mfapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "dropped_files.h"
#include "modal_script.h"
#include "platform/win/media_foundation.h"
#include "platform/win/unique_handle.h"
#include "schemes/wave_writer.h"
#include "settings/settings_dlg.h"
#include "timing_win.h"

namespace {

constexpr int kFiles = 100;

void RemoveConverted(const std::string& folder) {
  WIN32_FIND_DATAA found;
  UniqueFind find(FindFirstFileA((folder + "\\*.wav").c_str(), &found));
  for (bool more = static_cast<bool>(find); more; more = FindNextFileA(find.get(), &found))
    DeleteFileA((folder + "\\" + found.cFileName).c_str());
}

// Each phase of a conversion, over every file, on one thread as the worker does it.
void TimePhases(const std::string& sources, const std::string& out) {
  const MediaFoundation& library = LoadMediaFoundation();
  double startup = 0, reader = 0, type = 0, reading = 0, writing = 0, shutdown = 0;
  for (int i = 0; i < kFiles; ++i) {
    double begin = NowMs();
    auto session = std::make_unique<MediaFoundationSession>(library);
    startup += NowMs() - begin;
    std::string path = sources + "\\chime_" + std::to_string(i) + ".mp3";
    std::wstring wide(path.begin(), path.end());
    IMFSourceReader* created = nullptr;
    reader += TimeMs([&] { library.createSourceReaderFromUrl(wide.c_str(), nullptr, &created); });
    UniqueCom<IMFSourceReader> source(created);
    type += TimeMs([&] {
      IMFMediaType* media = nullptr;
      library.createMediaType(&media);
      UniqueCom<IMFMediaType> wanted(media);
      media->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio);
      media->SetGUID(MF_MT_SUBTYPE, MFAudioFormat_PCM);
      media->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, 16);
      source.get()->SetCurrentMediaType(MF_SOURCE_READER_FIRST_AUDIO_STREAM, nullptr, media);
    });
    reading += TimeMs([&] {
      for (DWORD flags = 0; !(flags & MF_SOURCE_READERF_ENDOFSTREAM);) {
        DWORD stream = 0;
        LONGLONG time = 0;
        IMFSample* sample = nullptr;
        if (FAILED(source.get()->ReadSample(MF_SOURCE_READER_FIRST_AUDIO_STREAM, 0, &stream, &flags, &time, &sample)))
          break;
        UniqueCom<IMFSample> owned(sample);
      }
    });
    source.reset();
    shutdown += TimeMs([&] { session.reset(); });
    const PcmSound sound{44100, 2, std::vector<std::int16_t>(2 * 88200), false};
    std::string wave = out + "\\phase.wav";
    writing += TimeMs([&] { WriteWaveFile(wave.c_str(), (wave + ".tmp").c_str(), sound, path); });
  }
  std::printf(
      "per file: MFStartup %.1f ms, source reader %.1f ms, PCM type %.1f ms, reading %.1f ms, "
      "MFShutdown %.1f ms, writing %.1f ms\n",
      startup / kFiles, reader / kFiles, type / kFiles, reading / kFiles, shutdown / kFiles, writing / kFiles);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const int rounds = argc > 2 && std::atoi(argv[2]) > 0 ? std::atoi(argv[2]) : 3;
  const int holdMs = argc > 3 ? std::atoi(argv[3]) : 0;
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string root = std::string(temp) + "belltide-convert-bench", sources = root + "\\mp3";
  CreateDirectoryA(root.c_str(), nullptr);
  CreateDirectoryA(sources.c_str(), nullptr);
  for (int i = 0; i < kFiles; ++i)
    CopyFileA(argv[1], (sources + "\\chime_" + std::to_string(i) + ".mp3").c_str(), FALSE);
  std::vector<double> times;
  int lines = 0;
  for (int round = 0; round < rounds; ++round) {
    RemoveConverted(root + "\\Converted");
    HANDLE file = CreateFileA((root + "\\BTD.CFG").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const char kTable[] = "Setup=1\r\n\r\n\\App\r\nApp\r\n\r\nEv\r\nEvent\r\n\r\n";
    DWORD written;
    WriteFile(file, kTable, sizeof kTable - 1, &written, nullptr);
    CloseHandle(file);
    SettingsFile settingsFile;
    if (!settingsFile.Open((root + "\\BTD.CFG").c_str()) || !settingsFile.LoadSettings()) return 1;
    CSettingsDlg dialog(settingsFile, root.c_str());
    RunModal(dialog, [&] {
      HWND tree = dialog.GetDlgItem(1030);
      TreeView_SelectItem(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree)));
      HWND list = dialog.GetDlgItem(1000);
      times.push_back(
          TimeMs([&] { SendMessageA(list, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({sources})), 0); }));
      lines = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
      Pump(holdMs);
    });
  }
  const Summary summary = Summarise(times);
  std::printf(
      "drop of %d two-second MP3 files: %d listed; median %.0f ms (%.1f files a second), best %.0f ms "
      "(%d rounds)\n",
      kFiles, lines, summary.median, kFiles * 1000.0 / summary.median, summary.best, rounds);
  TimePhases(sources, root);
  return lines == kFiles ? 0 : 1;
}
