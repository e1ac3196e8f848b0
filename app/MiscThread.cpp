#include "app/MiscThread.h"

#include "base/ThreadRegistry.h"

MiscThread::MiscThread(const char* name, int identifier)
    : nbase::FrameworkThread(name), identifier_(identifier) {}

// Stop here, while this object is still a MiscThread, so that Cleanup() runs
// our override rather than the base's.
MiscThread::~MiscThread() { Stop(); }

void MiscThread::Init() {
  if (identifier_ >= 0) nbase::ThreadRegistry::RegisterCurrentThread(identifier_);
}

void MiscThread::Cleanup() { nbase::ThreadRegistry::UnregisterCurrentThread(); }
