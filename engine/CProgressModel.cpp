#include "engine/CProgressModel.h"

#include <algorithm>

#include "base/StringUtil.h"

namespace {

constexpr int kMaxProgress = 999;
constexpr int kFastCreepLimit = 950;

}  // namespace

bool CProgressModel::Update(ProgressPhase phase, int value, int32_t downloadPerMille, DWORD nowTick,
                            ProgressView* view) {
  if (phase == ProgressPhase::Frozen) return false;

  view->showDownloadAlert = false;
  if (value != 0) {
    progress_ = value;
    if (value == kStartValue) {
      slowHintStart_ = nowTick;
      slowHintShown_ = false;
    }
  } else {
    if (phase == ProgressPhase::Downloading) {
      // Unsigned difference: correct across the 49.7-day tick rollover.
      if (!slowHintShown_ && nowTick - slowHintStart_ > kSlowDownloadMs) {
        view->showDownloadAlert = true;
        slowHintShown_ = true;
      }
      progress_ = std::min<int>(downloadPerMille, kDownloadedValue);
    } else {
      progress_ += progress_ <= kFastCreepLimit ? 3 : 2;
    }
    progress_ = std::min(progress_, kMaxProgress);
  }

  view->barValue = progress_ / 10;
  view->label = LabelFor(progress_);
  return true;
}

std::wstring CProgressModel::LabelFor(int progress) {
  const wchar_t* format = progress <= kDownloadedValue ? L"正在下载，请不要关闭：%0.1f%%"
                                                       : L"下载完成，正在安装，请不要关闭：%0.1f%%";
  return nbase::FormatWideString(format, progress / 10.0);
}
