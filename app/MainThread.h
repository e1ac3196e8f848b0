// The program's UI thread: runs on the process's initial thread, brings the
// installer up in Init() and takes it down in Cleanup().
#pragma once

#include <windows.h>

#include <memory>

#include "app/MiscThread.h"
#include "base/FrameworkThread.h"

class MainThread : public nbase::FrameworkThread {
 public:
  MainThread();
  ~MainThread() override;

 protected:
  void Init() override;
  void Cleanup() override;

 private:
  // Takes the single-instance mutex, asking the user to retry while another
  // copy runs. False when the user gives up.
  bool AcquireSingleInstance();
  void StartWorkers();

  std::unique_ptr<MiscThread> misc_thread_;
  std::unique_ptr<MiscThread> http_thread_;
  // Held for the whole life of the process and deliberately never closed: the
  // system releases it when the process ends, whichever way it ends.
  HANDLE instance_mutex_ = nullptr;
};
