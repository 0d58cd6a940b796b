#include "settings/file_list_message.h"

#include "platform/ansi_text_win32.h"
#include "platform/win/win_app.h"
#include "res/resource.h"

namespace {

constexpr size_t kMostNamedFiles = 10;

}  // namespace

void TellFiles(UINT headingId, const std::vector<std::wstring>& lines) {
  std::wstring text = Widen(LoadResString(headingId).view());
  for (size_t i = 0; i < lines.size() && i < kMostNamedFiles; ++i) text += L"\n" + lines[i];
  if (lines.size() > kMostNamedFiles) {
    CString more;
    more.Format(LoadResString(IDS_FILES_LEFT_OUT_MORE), static_cast<int>(lines.size() - kMostNamedFiles));
    text += L"\n" + Widen(more.view());
  }
  AfxMessageBox(text.c_str(), MB_ICONEXCLAMATION);
}
