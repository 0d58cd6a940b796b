#include "generated_settings.h"

#include <cstdio>

namespace {

constexpr int kEventsPerGroup = 50;

std::string Numbered(const char* format, int n) {
  char text[64];
  std::snprintf(text, sizeof text, format, n);
  return text;
}

// 55 bytes, distinct for every candidate of a file.
std::string CandidatePath(int n) {
  char path[96];
  std::snprintf(path, sizeof path, "C:\\Users\\Public\\Music\\Sounds\\Library%02d\\chime_%06d.wav", n % 37, n);
  return path;
}

}  // namespace

GeneratedSettings GenerateSettings(int events, int candidatesPerEvent) {
  GeneratedSettings settings;
  std::string& text = settings.content;
  text.reserve(static_cast<size_t>(events) * (40 + 58 * static_cast<size_t>(candidatesPerEvent)) + 4096);
  auto line = [&text](const std::string& content) {
    text += content;
    text += "\r\n";
  };
  // The program replaces the header with its own on the first save.
  for (const char* setting : {"Belltide benchmark settings", "Setup=1", "BootOnNoSound=0", "BootOnSoundChange=0",
                              "BootWaitTime=60", "Timer=0", ""})
    line(setting);
  for (int e = 0; e < events; ++e) {
    if (e % kEventsPerGroup == 0) {
      std::string group = Numbered("BenchApp%02d", e / kEventsPerGroup);
      line("\\" + group);
      line(Numbered("Bench application %02d", e / kEventsPerGroup));
      line("");
      settings.groupKeys.push_back("AppEvents\\Schemes\\Apps\\" + group);
    }
    std::string event = Numbered("Event%02d", e % kEventsPerGroup);
    line(event);
    line(Numbered("Bench event %02d", e % kEventsPerGroup));
    settings.writes.push_back(
        {settings.groupKeys.back() + "\\" + event + "\\.Current", CandidatePath(settings.candidates)});
    for (int c = 0; c < candidatesPerEvent; ++c) line("-" + CandidatePath(settings.candidates++));
    line("");
  }
  return settings;
}
