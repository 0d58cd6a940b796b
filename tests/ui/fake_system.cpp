#include "fake_system.h"

#include <map>

namespace fake_system {
namespace {

std::map<HWND, NOTIFYICONDATAA> g_icons;
int g_adds = 0;
int g_balloons = 0;

BOOL WINAPI Notify(DWORD message, PNOTIFYICONDATAA data) {
  if (message == NIM_ADD) ++g_adds;
  if (data->uFlags & NIF_INFO) ++g_balloons;
  if (refusals > 0) {
    --refusals;
    return FALSE;
  }
  bool held = g_icons.count(data->hWnd) > 0;
  switch (message) {
    case NIM_ADD:
    case NIM_MODIFY:
      if (held == (message == NIM_ADD)) return FALSE;
      g_icons[data->hWnd] = *data;
      return TRUE;
    case NIM_DELETE:
      return g_icons.erase(data->hWnd) > 0;
  }
  return FALSE;
}

ULONGLONG WINAPI Now() { return now; }

BOOL WINAPI PlaySound(LPCSTR sound, HMODULE, DWORD flags) {
  if (!sound) {
    ++stops;
    return TRUE;
  }
  // A wave in memory says its length in its RIFF header.
  const unsigned char* riff = reinterpret_cast<const unsigned char*>(sound);
  const size_t size = 8 + (riff[4] | riff[5] << 8 | riff[6] << 16 | static_cast<size_t>(riff[7]) << 24);
  played.push_back({std::string(sound, size), flags});
  if (onPlay) onPlay();
  return TRUE;
}

void WINAPI Sleep(DWORD milliseconds) { now += milliseconds; }

}  // namespace

ULONGLONG now = 0;
int refusals = 0;
std::vector<Played> played;
int stops = 0;
std::function<void()> onPlay;
std::vector<std::string> grants;

DWORD ReadGrant(const char* path) {
  grants.push_back(path);
  return std::string(path).find("refused") != std::string::npos ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
}

ResidentSystem Start() {
  g_icons.clear();
  g_adds = 0;
  g_balloons = 0;
  now = 1000000;
  refusals = 0;
  played.clear();
  stops = 0;
  grants.clear();
  return {Notify, Now, {PlaySound, Sleep}, ReadGrant};
}

void ForgetIcons() { g_icons.clear(); }

const NOTIFYICONDATAA* Icon(HWND window) {
  auto it = g_icons.find(window);
  return it == g_icons.end() ? nullptr : &it->second;
}

int AddsAsked() { return g_adds; }
int Balloons() { return g_balloons; }

}  // namespace fake_system
