// The single state of the installer flow; the value decides which page the
// main window shows and how the progress ticker moves the bar.
#pragma once

enum class FlowState : int {
  Welcome = 0,            // welcompage; nothing started
  Downloading = 1,        // installpage; package download running
  Installing = 2,         // installpage; silent setup running
  Installed = 3,          // installedpage; setup ended with exit code 0
  DownloadFailed = 4,     // installfaildpage; every download attempt failed
  WaitingForProduct = 5,  // installpage under the force-close question
  InstallFailed = 6,      // installfaildpage; setup ended with an error
  ExitSurvey = 7,         // ExitStartpage
};
