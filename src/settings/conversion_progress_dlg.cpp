#include "settings/conversion_progress_dlg.h"

#include <commctrl.h>

#include "platform/ansi_text_win32.h"
#include "platform/win/resources.h"
#include "platform/win/win_app.h"
#include "res/resource.h"

namespace {

constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressEveryMs = 100;
// A conversion done sooner shows no window.
constexpr ULONGLONG kQuietMs = 500;

// The file name alone: the window is narrow.
std::wstring FileName(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// Dispatches what waits in the queue; false when the application is
// asked to quit (the request is put back for the outer loop).
bool DispatchWaiting() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

}  // namespace

CConversionProgressDlg::CConversionProgressDlg(SoundConversion& conversion, HWND parent)
    : CDialog(IDD_CONVERTING, parent), m_conversion(conversion) {}

bool CConversionProgressDlg::OnMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  static const MessageMapEntry<CConversionProgressDlg> kMessageMap[] = {
      OnMessage<WM_TIMER, &CConversionProgressDlg::OnTimer>(),
  };
  return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result);
}

bool CConversionProgressDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ShowProgress();
  WaitAlsoFor(m_conversion.DoneEvent());
  SetTimer(m_hWnd, kProgressTimer, kProgressEveryMs, nullptr);
  return true;
}

void CConversionProgressDlg::OnSignalled() {
  KillTimer(m_hWnd, kProgressTimer);
  EndDialog(m_conversion.Cancelled() ? IDCANCEL : IDOK);
}

void CConversionProgressDlg::OnCancel() {
  m_conversion.Cancel();
  ::EnableWindow(GetDlgItem(IDCANCEL), FALSE);
}

void CConversionProgressDlg::ShowProgress() {
  std::size_t finished = 0, total = 0;
  std::wstring current;
  m_conversion.Progress(finished, total, current);
  CString count;
  count.Format(LoadResString(IDS_CONVERT_COUNT), static_cast<int>(finished), static_cast<int>(total));
  SetDlgItemTextA(m_hWnd, IDC_CONVERT_COUNT, count);
  SetDlgItemTextA(m_hWnd, IDC_CONVERT_NAME, Narrow(FileName(current)));
  HWND bar = GetDlgItem(IDC_CONVERT_PROGRESS);
  ::SendMessageA(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
  ::SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(finished), 0);
}

void ConvertSoundFiles(WaveFiles& files, const CString& folder, const SoundDecoder& decoder, HWND owner) {
  if (files.toConvert.empty()) return;
  SoundConversion conversion(std::move(files.toConvert), folder, decoder);
  files.toConvert.clear();
  const ULONGLONG start = GetTickCount64();
  const bool ownerEnabled = IsWindowEnabled(owner) != FALSE;
  EnableWindow(owner, FALSE);  // nothing is edited meanwhile, yet everything paints
  HANDLE done = conversion.DoneEvent();
  bool quitting = false;
  while (!quitting && WaitForSingleObject(done, 0) != WAIT_OBJECT_0) {
    const ULONGLONG waited = GetTickCount64() - start;
    if (waited >= kQuietMs) break;
    MsgWaitForMultipleObjects(1, &done, FALSE, static_cast<DWORD>(kQuietMs - waited), QS_ALLINPUT);
    quitting = !DispatchWaiting();
  }
  if (ownerEnabled) EnableWindow(owner, TRUE);
  if (quitting) conversion.Cancel();
  if (!quitting && !conversion.Done()) CConversionProgressDlg(conversion, owner).DoModal();
  conversion.Wait();
  for (const ConvertedSound& sound : conversion.Results()) {
    if (sound.path.IsEmpty())
      files.leftOut.push_back({sound.source, sound.reason});
    else
      files.paths.push_back(sound.path);
  }
  if (conversion.NoMediaFoundation()) AfxMessageBox(IDS_NO_MEDIA_FOUNDATION, MB_ICONEXCLAMATION);
}
