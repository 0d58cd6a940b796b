#pragma once
// The wait for a conversion of sound files: the UI thread keeps answering
// while the worker decodes, and past half a second a small window shows how
// far it is, with a Cancel that keeps what was converted.

#include "platform/win/dialog.h"
#include "settings/sound_conversion.h"
#include "settings/wave_files.h"

class CConversionProgressDlg : public CDialog {
 public:
  CConversionProgressDlg(SoundConversion& conversion, HWND parent);

 protected:
  bool OnInitDialog() override;
  void OnCancel() override;  // the dialog ends once the worker has stopped
  bool OnMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnSignalled() override;  // the worker is done

 private:
  void OnTimer(UINT_PTR) { ShowProgress(); }
  void ShowProgress();

  SoundConversion& m_conversion;
};

// Converts `files.toConvert` into `folder` with `decoder`, `owner` disabled
// meanwhile, and moves each to `files.paths` or, with its reason, to
// `files.leftOut`. A Windows without Media Foundation is told once.
void ConvertSoundFiles(WaveFiles& files, const CString& folder, const SoundDecoder& decoder, HWND owner);
