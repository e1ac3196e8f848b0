// A pump that sleeps on an I/O completion port: woken by a posted packet, it
// also hands finished overlapped I/O to the handler that started it.
#pragma once

#include <windows.h>

#include "base/ObserverList.h"
#include "base/ScopedHandle.h"
#include "base/WinMessagePump.h"

namespace nbase {

class WinIOMessagePump : public WinMessagePump {
 public:
  class IOContext;

  // Started the I/O; told when it completes.
  class IOHandler {
   public:
    virtual ~IOHandler() = default;
    virtual void OnIOCompleted(IOContext* context, DWORD bytes_transferred, DWORD error) = 0;
  };

  // The OVERLAPPED of one operation, followed by who handles its completion.
  // A completion whose context has no handler frees the context.
  class IOContext {
   public:
    OVERLAPPED overlapped = {};
    IOHandler* handler = nullptr;
  };

  class IOObserver {
   public:
    virtual ~IOObserver() = default;
    virtual void WillProcessIOEvent() = 0;
    virtual void DidProcessIOEvent() = 0;
  };

  WinIOMessagePump();
  ~WinIOMessagePump() override;

  void WakeUp() override;
  void SetWakeUpTime(TickTime time) override;

  // Routes completions of `file` to `handler` (the completion key).
  bool RegisterIOHandler(HANDLE file, IOHandler* handler);

  void AddObserver(IOObserver* observer) { observers_.AddObserver(observer); }
  void RemoveObserver(IOObserver* observer) { observers_.RemoveObserver(observer); }

  HANDLE completion_port() const { return port_.Get(); }

 protected:
  void RunLoopBody() override;

 private:
  // True when a packet was handled.
  bool WaitForIOCompletion(DWORD timeout);

  ScopedFileHandle port_;
  ObserverList<IOObserver> observers_;
};

}  // namespace nbase
