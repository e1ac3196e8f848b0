// The progress shown while the installer works, in per mille of the whole
// job: the download fills 0..900, then the value creeps towards 999 while the
// setup runs. Pure arithmetic; the window applies the result to its controls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// How the flow state moves the value.
enum class ProgressPhase {
  Frozen,       // nothing started, finished, failed, or waiting for the user
  Downloading,  // ticks follow the download fraction
  Creeping,     // ticks add a little (setup running, or the survey page after it)
};

struct ProgressView {
  int barValue = 0;                // whole percent for the bar
  std::wstring label;              // the text under the bar
  bool showDownloadAlert = false;  // show the slow-download hint now (once per download)
};

class CProgressModel {
 public:
  // The hint appears when a download has run longer than this.
  static constexpr DWORD kSlowDownloadMs = 10000;
  static constexpr int kStartValue = 10;
  static constexpr int kDownloadedValue = 900;

  // |value| 0 is a tick of the ticker; any other value is set as it is (10 at
  // the start of a download, 900 once the package is verified). |nowTick| is
  // the system tick in milliseconds. Returns false when the phase is frozen:
  // nothing changed and nothing is to be shown.
  bool Update(ProgressPhase phase, int value, int32_t downloadPerMille, DWORD nowTick,
              ProgressView* view);

  int progress() const { return progress_; }

  // The label for a given per-mille value.
  static std::wstring LabelFor(int progress);

 private:
  int progress_ = 0;
  DWORD slowHintStart_ = 0;
  bool slowHintShown_ = false;
};
