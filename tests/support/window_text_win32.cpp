#include "window_text.h"

namespace {

BOOL CALLBACK KeepLongestStatic(HWND child, LPARAM context) {
  auto* text = reinterpret_cast<std::string*>(context);
  char className[32] = {};
  GetClassNameA(child, className, sizeof className);
  std::string candidate = WindowText(child);
  if (std::string(className) == "Static" && candidate.size() > text->size()) *text = candidate;
  return TRUE;
}

}  // namespace

std::string WindowText(HWND window) {
  char text[2048] = {};
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
  return text;
}

namespace {

bool IsBelltideDialog(HWND window) {
  char className[32] = {};
  GetClassNameA(window, className, sizeof className);
  return std::string(className) == "#32770" && WindowText(window) == "Belltide";
}

constexpr int kStatusLine = 1031;

}  // namespace

bool IsStatusWindow(HWND window) { return IsBelltideDialog(window) && GetDlgItem(window, kStatusLine); }

bool IsMessageBox(HWND window) { return IsBelltideDialog(window) && !GetDlgItem(window, kStatusLine); }

std::string LongestStaticText(HWND dialog) {
  std::string text;
  EnumChildWindows(dialog, KeepLongestStatic, reinterpret_cast<LPARAM>(&text));
  return text;
}
