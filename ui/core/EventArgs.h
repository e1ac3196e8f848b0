// What every UI event handler receives, and the codes of the events.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace ui {

class Control;

enum EventCode {
  // Internal: delivered straight to default handling, never to handlers.
  kEventInternalDoubleClick = 0,
  kEventInternalMenu = 1,
  kEventInternalSetFocus = 2,
  kEventInternalKillFocus = 3,

  kEventNone = 4,  // an unrecognised event name
  kEventAll = 6,   // a handler under this code sees every event

  kEventKeyDown = 8,
  kEventKeyUp = 9,
  kEventChar = 10,
  kEventSystemKey = 11,

  kEventMouseMove = 14,
  kEventMouseEnter = 15,
  kEventMouseLeave = 16,
  kEventMouseHover = 17,
  kEventMouseButtonDown = 18,
  kEventMouseButtonUp = 19,
  kEventMouseRightButtonDown = 20,
  kEventMouseRightButtonUp = 21,
  kEventMouseDoubleClick = 22,
  kEventMouseMenu = 23,
  kEventMouseScrollWheel = 24,

  kEventPointDown = 32,
  kEventPointUp = 34,

  kEventSetFocus = 36,
  kEventKillFocus = 37,
  kEventWindowSize = 38,
  kEventWindowClose = 39,
  kEventSetCursor = 40,

  kEventClick = 41,
  kEventSelect = 42,
  kEventUnSelect = 43,
  kEventTextChange = 44,
  kEventReturn = 45,
  kEventTab = 46,
  kEventImeStartComposition = 48,
  kEventImeEndComposition = 49,
  kEventScrollChange = 50,
  kEventValueChange = 51,
};

struct EventArgs {
  EventCode type = kEventNone;
  Control* sender = nullptr;
  DWORD timestamp = 0;        // GetTickCount when raised
  POINT mousePoint = {0, 0};  // the window's last mouse position
  wchar_t chKey = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// Handlers return false to stop the event where it is.
using EventCallback = std::function<bool(const EventArgs&)>;

// The code of an event name of Event elements ("mouseenter" ->
// kEventMouseEnter); kEventNone for a name that is not known.
EventCode EventCodeFromName(const std::wstring& name);

// Mouse events are the ones a control that is not mouse enabled leaves alone.
inline bool IsMouseEvent(EventCode code) {
  return code >= kEventMouseMove && code <= kEventMouseScrollWheel;
}

}  // namespace ui
