#include "platform/win/data_exchange.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/win/dialog.h"
#include "platform/win/framework_res.h"
#include "platform/win/win_app.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Blanks around an optional sign and digits that fit an int.
bool ParseWholeNumber(const CString& text, int& value) {
  const char* p = text;
  while (IsBlank(*p)) ++p;
  if (*p == '\0') return false;
  char* end = nullptr;
  errno = 0;
  long parsed = std::strtol(p, &end, 10);
  if (end == p || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
  while (IsBlank(*end)) ++end;
  if (*end != '\0') return false;
  value = static_cast<int>(parsed);
  return true;
}

}  // namespace

void CDataExchange::Fail(int controlId, UINT messageId) {
  m_failed = true;
  AfxMessageBox(messageId, MB_ICONEXCLAMATION);
  HWND control = m_dialog.GetDlgItem(controlId);
  ::SetFocus(control);
  ::SendMessageA(control, EM_SETSEL, 0, -1);
}

void DDX_Control(CDataExchange& dx, int id, CWnd& control) {
  if (!control.m_hWnd) control.m_hWnd = dx.Dialog().GetDlgItem(id);
}

void DDX_Check(CDataExchange& dx, int id, int& value) {
  if (dx.Failed()) return;
  HWND box = dx.Dialog().GetDlgItem(id);
  if (dx.Saving())
    value = static_cast<int>(::SendMessageA(box, BM_GETCHECK, 0, 0));
  else
    ::SendMessageA(box, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Text(CDataExchange& dx, int id, int& value) {
  if (dx.Failed()) return;
  CWnd field;
  field.m_hWnd = dx.Dialog().GetDlgItem(id);
  if (!dx.Saving()) {
    CString text;
    text.Format("%d", value);
    field.SetWindowText(text);
  } else if (!ParseWholeNumber(field.GetWindowText(), value)) {
    dx.Fail(id, IDP_PARSE_INT);
  }
}
