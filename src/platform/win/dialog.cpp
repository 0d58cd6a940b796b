#include "platform/win/dialog.h"

#include "platform/win/data_exchange.h"
#include "platform/win/message_wait.h"
#include "platform/win/resources.h"

INT_PTR CDialog::DoModal() {
  m_inModalLoop = true;  // EndDialog may come from OnInitDialog already
  m_result = -1;
  const DLGTEMPLATE* dialogTemplate = FindDialogTemplate(m_templateId);
  if (!dialogTemplate || !CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate, m_parent, DialogProc,
                                                     reinterpret_cast<LPARAM>(this)))
    return -1;
  if (m_inModalLoop) ShowWindow(SW_SHOWNORMAL);  // modal templates need not carry WS_VISIBLE
  bool disabledParent = m_parent && ::IsWindowEnabled(m_parent);
  if (disabledParent) ::EnableWindow(m_parent, FALSE);

  MSG msg;
  while (m_inModalLoop) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (WaitForMessageOrSignal(m_waitObject)) OnSignalled();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
      break;
    }
    if (!IsDialogMessageA(m_hWnd, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  if (disabledParent) ::EnableWindow(m_parent, TRUE);
  ShowWindow(SW_HIDE);
  DestroyWindow();
  return m_result;
}

void CDialog::EndDialog(INT_PTR result) {
  m_result = result;
  m_inModalLoop = false;
  if (m_hWnd) PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wakes the modal loop
}

bool CDialog::DestroyWindow() {
  bool destroyed = ::DestroyWindow(m_hWnd) != FALSE;
  m_hWnd = nullptr;
  return destroyed;
}

bool CDialog::UpdateData(bool saveAndValidate) {
  CDataExchange dx(*this, saveAndValidate);
  DoDataExchange(dx);
  return !dx.Failed();
}

void CDialog::DoDataExchange(CDataExchange&) {}

bool CDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void CDialog::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::OnMessageMap(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

namespace {

// The messages whose result the dialog procedure returns itself; for every
// other message the dialog manager passes on what DWLP_MSGRESULT holds.
bool ReturnsResultDirectly(UINT message) {
  switch (message) {
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
      return true;
    default:
      return false;
  }
}

}  // namespace

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<CDialog*>(lParam);
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    self->m_hWnd = window;
  } else {
    self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  }
  if (!self) return FALSE;
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    return FALSE;  // no exception may unwind through the dialog manager
  }
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    CenterWindow();  // before it is first shown
    return OnInitDialog() ? TRUE : FALSE;
  }

  LRESULT result = 0;
  m_handled = true;
  if (!OnMessageMap(message, wParam, lParam, result) || !m_handled) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
      if (LOWORD(wParam) == IDOK) return OnOK(), TRUE;
      if (LOWORD(wParam) == IDCANCEL) return OnCancel(), TRUE;
    }
    return FALSE;
  }
  if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
  SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
  return TRUE;
}
