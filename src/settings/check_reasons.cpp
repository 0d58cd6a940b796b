#include "settings/check_reasons.h"

#include "platform/win/resources.h"
#include "res/resource.h"

CString Remark(UINT reasonId) {
  CString remark;
  remark.Format(LoadResString(IDS_REMARK), static_cast<const char*>(LoadResString(reasonId)));
  return remark;
}

UINT ReasonOf(WaveCheck check) {
  switch (check) {
    case WaveCheck::Missing:
      return IDS_REASON_MISSING;
    case WaveCheck::NotWave:
      return IDS_REASON_NOT_WAVE;
    case WaveCheck::Unplayable:
      return IDS_REASON_UNPLAYABLE;
    case WaveCheck::Playable:
    case WaveCheck::Unreadable:
      break;
  }
  return IDS_REASON_UNREADABLE;
}
