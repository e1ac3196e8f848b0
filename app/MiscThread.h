// A worker thread with a default loop that registers under its identifier for
// as long as its loop runs, so tasks can be posted to it by number.
#pragma once

#include "base/FrameworkThread.h"

class MiscThread : public nbase::FrameworkThread {
 public:
  MiscThread(const char* name, int identifier);
  ~MiscThread() override;

  int identifier() const { return identifier_; }

 protected:
  void Init() override;
  void Cleanup() override;

 private:
  const int identifier_;
};
