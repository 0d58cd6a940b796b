#include "settings/settings_dlg.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <vector>

#include "platform/mbcs.h"
#include "platform/ansi_text_win32.h"
#include "platform/win/data_exchange.h"
#include "platform/win/file_dialog.h"
#include "platform/win/process_hardening.h"
#include "platform/win/unique_handle.h"
#include "platform/win/win_app.h"
#include "platform/win/windows_version.h"
#include "res/resource.h"
#include "settings/about_dlg.h"
#include "settings/check_reasons.h"
#include "settings/conversion_progress_dlg.h"
#include "settings/converted_files.h"
#include "settings/file_list_message.h"
#include "settings/import_dlg.h"
#include "settings/save_settings.h"
#include "store/pool_additions.h"

CSettingsDlg::CSettingsDlg(SettingsFile& settingsFile, const CString& startupFolder, HWND parent, ReadGrant grant,
                           SoundDecoder decoder)
    : CDialog(IDD_SETTINGS, parent),
      m_settingsFile(settingsFile),
      m_startupFolder(startupFolder),
      m_startup(Widen(startupFolder.view())),
      m_grant(grant),
      m_decoder(std::move(decoder)) {}

void CSettingsDlg::DoDataExchange(CDataExchange& dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_MINUTES_SPIN, m_spinMinutes);
  DDX_Control(dx, IDC_HOURS_SPIN, m_spinHours);
  DDX_Control(dx, IDC_WAIT_SPIN, m_spinWait);
  DDX_Control(dx, IDC_EVENT_TREE, m_eventTree);
  DDX_Control(dx, IDC_APPLY, m_applyButton);
  DDX_Control(dx, IDC_PLAY, m_playButton);
  DDX_Control(dx, IDC_DELETE, m_deleteButton);
  DDX_Control(dx, IDC_ADD, m_addButton);
  DDX_Control(dx, IDC_CANDIDATE_LIST, m_candidateList);
  DDX_Check(dx, IDC_BOOT_NO_SOUND, m_bootOnNoSound);
  DDX_Check(dx, IDC_BOOT_SOUND_CHANGE, m_bootOnSoundChange);
  DDX_Check(dx, IDC_START_WITH_WINDOWS, m_startWithWindows);  // before the numbers: a bad one stops the reading
  DDX_Check(dx, IDC_SESSION_SOUNDS, m_sessionSounds);
  DDX_Text(dx, IDC_WAIT_SECONDS, m_bootWaitTime);
  DDX_Text(dx, IDC_TIMER_HOURS, m_timerHours);
  DDX_Text(dx, IDC_TIMER_MINUTES, m_timerMinutes);
}

bool CSettingsDlg::OnMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  static const MessageMapEntry<CSettingsDlg> kMessageMap[] = {
      OnMessage<WM_PAINT, &CSettingsDlg::OnPaint>(),
      OnMessage<WM_QUERYDRAGICON, &CSettingsDlg::OnQueryDragIcon>(),
      OnMessage<WM_DROPFILES, &CSettingsDlg::OnDropFiles>(),
      OnMessage<WM_DRAWITEM, &CSettingsDlg::OnDrawItem>(),
      OnCommand<&CSettingsDlg::OnImport>(IDC_IMPORT),
      OnCommand<&CSettingsDlg::OnAdd>(IDC_ADD),
      OnCommand<&CSettingsDlg::OnDelete>(IDC_DELETE),
      OnCommand<&CSettingsDlg::OnPlay>(IDC_PLAY),
      OnCommand<&CSettingsDlg::OnSelchangeCandidateList>(IDC_CANDIDATE_LIST, LBN_SELCHANGE),
      OnCommand<&CSettingsDlg::OnApply>(IDC_APPLY),
      OnCommand<&CSettingsDlg::OnAbout>(IDC_VERSION),
      OnNotify<&CSettingsDlg::OnSelchangedEventTree>(IDC_EVENT_TREE, TVN_SELCHANGEDA),
      OnNotify<&CSettingsDlg::OnSelchangedEventTree>(IDC_EVENT_TREE, TVN_SELCHANGEDW),
      OnCommand<&CSettingsDlg::OnPlay>(IDC_CANDIDATE_LIST, LBN_DBLCLK),
      OnCommand<&CSettingsDlg::OnManual>(IDC_MANUAL),
      OnCommand<&CSettingsDlg::OnSessionSounds>(IDC_SESSION_SOUNDS),
  };
  return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result);
}

bool CSettingsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_hIcon = SetIcons(IDI_BELLTIDE);
  m_candidateList.ForwardDropsToParent();
  m_candidateList.FitItemHeightToFont();
  DragAcceptFiles(m_hWnd, TRUE);  // a folder may land anywhere on the dialog

  m_spinWait.SetRange(0, 999);
  m_spinHours.SetRange(0, 99);
  m_spinMinutes.SetRange(0, 59);

  const AppSettings& settings = m_settingsFile.settings;
  m_bootOnNoSound = settings.BootOnNoSound;
  m_bootOnSoundChange = settings.BootOnSoundChange;
  m_bootWaitTime = settings.BootWaitTime;
  m_timerHours = settings.Timer / 60;
  m_timerMinutes = settings.Timer % 60;
  m_startWithWindows = m_startup.Exists();
  m_sessionSounds = settings.SessionSounds;
  // Windows 7 and older play these sounds themselves.
  ::EnableWindow(GetDlgItem(IDC_SESSION_SOUNDS), !WindowsPlaysSessionSounds());

  FillEventTree();
  ShowSelectPrompt();
  UpdateData(false);
  return true;
}

void CSettingsDlg::FillEventTree() {
  m_filling = true;
  m_eventTree.DeleteAllItems();
  const EventTable& table = m_settingsFile.table;
  HTREEITEM group = TVI_ROOT;
  for (int i = 0; i < m_settingsFile.eventCount(); ++i) {
    const EventEntry& entry = table[static_cast<size_t>(i)];
    HTREEITEM item;
    if (entry.IsGroup()) {
      if (group != TVI_ROOT) {
        m_eventTree.SortChildren(group);
        m_eventTree.Expand(group);
      }
      item = group = m_eventTree.InsertItem(entry.label, TVI_ROOT);
    } else {
      // Events before the first group stand at the top level.
      item = m_eventTree.InsertItem(entry.GetDisplayText(), group);
    }
    m_eventTree.SetItemData(item, i);
  }
  if (!table.empty()) {
    if (group != TVI_ROOT) {
      m_eventTree.SortChildren(group);
      m_eventTree.Expand(group);
    }
    m_eventTree.EnsureVisible(m_eventTree.GetRootItem());
  }
  EnableApply(false);
  m_filling = false;
}

void CSettingsDlg::ShowSelectPrompt() {
  m_candidateList.ShowPrompt(LoadResString(IDS_SELECT_EVENT));
  m_addButton.EnableWindow(false);
  m_deleteButton.EnableWindow(false);
  m_playButton.EnableWindow(false);
}

void CSettingsDlg::FillCandidateList(int index) {
  m_candidateList.Fill(m_settingsFile.table[static_cast<size_t>(index)]);
}

CString CSettingsDlg::CandidateRemark(int line) { return m_candidateList.Remark(line); }

void CSettingsDlg::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlID == IDC_CANDIDATE_LIST) m_candidateList.DrawItem(item);
}

int CSettingsDlg::SelectedEventIndex() const {
  HTREEITEM item = m_eventTree.GetSelectedItem();
  if (!item) return -1;
  LPARAM index = m_eventTree.GetItemData(item);
  if (index < 0 || index >= m_settingsFile.eventCount()) return -1;
  return m_settingsFile.table[static_cast<size_t>(index)].IsGroup() ? -1 : static_cast<int>(index);
}

LRESULT CSettingsDlg::OnSelchangedEventTree(NMHDR*) {
  if (m_filling) return 0;  // items deleted or inserted by FillEventTree
  int index = SelectedEventIndex();
  if (index < 0) {
    ShowSelectPrompt();
    return 0;
  }
  FillCandidateList(index);
  m_candidateList.EnableWindow(true);
  m_addButton.EnableWindow(true);
  m_playButton.EnableWindow(false);
  m_deleteButton.EnableWindow(false);
  return 0;
}

void CSettingsDlg::OnSelchangeCandidateList() {
  m_playButton.EnableWindow(true);
  m_deleteButton.EnableWindow(true);
}

void CSettingsDlg::AddCandidate(CString path) { AddFiles({{path}, {}, {}}); }

// The list and the tree change once, however many files come: converted
// ones after the wave files. One file already listed gets the duplicate
// message; more get one count of them. Files left out are named, with their
// reasons, in one message.
void CSettingsDlg::AddFiles(WaveFiles files) {
  int index = SelectedEventIndex();
  if (index < 0) return;  // no event to add to
  ConvertSoundFiles(files, m_startupFolder + "\\" + kConvertedFolderName, m_decoder, m_hWnd);
  SettingsFile::TableEdit edit = m_settingsFile.EditTable();
  EventEntry& entry = edit[static_cast<size_t>(index)];
  PoolAdditions additions = AddPaths(entry, files.paths);
  if (additions.added > 0) {
    int selected = m_candidateList.GetCurSel();  // new lines go to the end
    FillCandidateList(index);
    if (selected != LB_ERR) m_candidateList.SetCurSel(selected);
    m_eventTree.SetItemText(m_eventTree.GetSelectedItem(), entry.GetDisplayText());
    EnableApply(true);
  }
  if (additions.duplicates > 0 && files.paths.size() == 1) {
    AfxMessageBox(IDS_DUPLICATE, MB_ICONEXCLAMATION);
  } else if (additions.duplicates > 0) {
    TellCount(IDS_DUPLICATES_SKIPPED, additions.duplicates);
  }
  std::vector<LeftOutFile>& leftOut = files.leftOut;
  for (const CString& path : additions.unstorable) leftOut.push_back({Widen(path.view()), IDS_REASON_PATH});
  if (!leftOut.empty()) TellLeftOut(leftOut);
}

void CSettingsDlg::TellLeftOut(const std::vector<LeftOutFile>& files) {
  std::vector<std::wstring> lines;
  for (const LeftOutFile& file : files) lines.push_back(file.path + Widen(Remark(file.reason).view()));
  TellFiles(IDS_FILES_LEFT_OUT, lines);
}

void CSettingsDlg::TellCount(UINT messageId, int count) {
  CString text;
  text.Format(LoadResString(messageId), count);
  AfxMessageBox(text, MB_ICONEXCLAMATION);
}

void CSettingsDlg::OnAdd() {
  CFileDialog dialog("wav", "", OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT,
                     LoadResString(IDS_SOUND_FILTER));
  for (;;) {
    if (dialog.DoModal() != IDOK) return;
    const std::vector<std::wstring>& chosen = dialog.GetPathNames();
    // A folder typed as the name opens that folder, as Explorer does.
    DWORD attributes = chosen.size() == 1 ? GetFileAttributesW(chosen[0].c_str()) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) break;
    dialog.SetInitialFolder(chosen[0]);
  }
  CWaitCursor wait;
  AddFiles(ChosenFiles(dialog.GetPathNames()));
}

void CSettingsDlg::OnDropFiles(HDROP dropped) {
  CWaitCursor wait;
  std::vector<std::wstring> items;
  {
    UniqueDrop drop(dropped);  // released once the names are read
    UINT count = DragQueryFileW(drop.get(), 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      std::wstring name(DragQueryFileW(drop.get(), i, nullptr, 0) + 1, L'\0');
      name.resize(DragQueryFileW(drop.get(), i, &name[0], static_cast<UINT>(name.size())));
      items.push_back(name);
    }
  }
  AddFiles(CollectWaveFiles(items));
}

void CSettingsDlg::OnDelete() {
  int selected = m_candidateList.GetCurSel();
  int index = SelectedEventIndex();
  if (selected == LB_ERR || index < 0) return;
  {
    SettingsFile::TableEdit edit = m_settingsFile.EditTable();
    EventEntry& entry = edit[static_cast<size_t>(index)];
    if (!entry.RemoveCandidate(selected)) return;
    m_candidateList.DeleteString(selected);
    m_candidateList.FitExtent(entry);
    m_eventTree.SetItemText(m_eventTree.GetSelectedItem(), entry.GetDisplayText());
  }
  int remaining = m_candidateList.GetCount();
  if (remaining == 0) {
    m_playButton.EnableWindow(false);
    m_deleteButton.EnableWindow(false);
  } else {
    m_candidateList.SetCurSel(selected == remaining ? selected - 1 : selected);
  }
  EnableApply(true);
}

void CSettingsDlg::OnPlay() {
  int selected = m_candidateList.GetCurSel();
  if (selected == LB_ERR) return;
  // winmm is no KnownDLL: taken from the system folder on the first audition.
  static const auto playSound = AsFunction<decltype(&sndPlaySoundA)>(SystemExport(L"winmm.dll", "sndPlaySoundA"));
  if (playSound) playSound(m_candidateList.GetText(selected).Mid(1), SND_ASYNC);
}

void CSettingsDlg::OnApply() { Apply(); }

bool CSettingsDlg::Apply() {
  EnableApply(false);
  UpdateData(true);  // a field that is not a whole number keeps its value; the rest is stored
  AppSettings& settings = m_settingsFile.settings;
  settings.BootOnNoSound = m_bootOnNoSound;
  settings.BootOnSoundChange = m_bootOnSoundChange;
  settings.BootWaitTime = m_bootWaitTime;
  settings.Timer = m_timerHours * 60 + m_timerMinutes;
  settings.SessionSounds = m_sessionSounds;
  settings.Setup = 1;
  SaveSettingsOrTell(m_settingsFile);
  TellRefusedReads(LetNotificationsRead(m_settingsFile.table, m_grant));
  return ApplyStartWithWindows();
}

// The shortcut lives in the Startup folder, not in BTD.CFG. When the folder
// refuses, the box goes back to what is true and the user learns why.
bool CSettingsDlg::ApplyStartWithWindows() {
  bool wanted = m_startWithWindows != 0;
  std::wstring reason;
  bool current = false;
  const bool exists = m_startup.Exists(&current);
  if ((wanted ? exists && current : !exists) || m_startup.Set(wanted, reason)) return true;
  m_startWithWindows = m_startup.Exists();
  CheckDlgButton(m_hWnd, IDC_START_WITH_WINDOWS, m_startWithWindows ? BST_CHECKED : BST_UNCHECKED);
  CString text;
  text.Format(LoadResString(IDS_STARTUP_REFUSED), static_cast<const char*>(Narrow(reason)));
  AfxMessageBox(text, MB_ICONEXCLAMATION);
  return false;
}

// A refused shortcut keeps the dialog open, its box turned back.
void CSettingsDlg::OnOK() {
  if (Apply()) CDialog::OnOK();
}

void CSettingsDlg::OnCancel() {
  LoadSettingsOrTell(m_settingsFile);  // drops everything since the last Apply
  CDialog::OnCancel();
}

// After a refill no event is selected, so the candidate area goes back to
// its prompt rather than keep lines of an entry no longer selected.
void CSettingsDlg::OnImport() {
  CImportDlg dialog(m_settingsFile, m_hWnd);
  if (dialog.DoModal() != IDOK) return;
  LetNotificationsRead(m_settingsFile.table, m_grant);  // what is refused is told at Apply
  FillEventTree();
  ShowSelectPrompt();
  EnableApply(true);
}

void CSettingsDlg::OnManual() {
  CWaitCursor wait;
  CString manual = m_startupFolder + "\\" + LoadResString(IDS_MANUAL);
  ShellExecuteA(nullptr, "open", manual, nullptr, nullptr, SW_SHOWNORMAL);
}

void CSettingsDlg::OnAbout() {
  CAboutDlg dialog(m_hWnd);
  dialog.DoModal();
}

void CSettingsDlg::OnPaint() {
  if (!IsIconic(m_hWnd)) {
    PassToDefault();
    return;
  }
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(m_hWnd, &paint);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(m_hWnd, &client);
  int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
  int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, m_hIcon);
  EndPaint(m_hWnd, &paint);
}

HICON CSettingsDlg::OnQueryDragIcon() { return m_hIcon; }
