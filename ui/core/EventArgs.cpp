#include "ui/core/EventArgs.h"

namespace ui {

EventCode EventCodeFromName(const std::wstring& name) {
  static const struct {
    const wchar_t* name;
    EventCode code;
  } kNames[] = {
      {L"all", kEventAll},
      {L"keydown", kEventKeyDown},
      {L"keyup", kEventKeyUp},
      {L"char", kEventChar},
      {L"syskey", kEventSystemKey},
      {L"setfocus", kEventSetFocus},
      {L"killfocus", kEventKillFocus},
      {L"setcursor", kEventSetCursor},
      {L"mousemove", kEventMouseMove},
      {L"mouseenter", kEventMouseEnter},
      {L"mouseleave", kEventMouseLeave},
      {L"mousehover", kEventMouseHover},
      {L"buttondown", kEventMouseButtonDown},
      {L"buttonup", kEventMouseButtonUp},
      {L"rbuttondown", kEventMouseRightButtonDown},
      {L"doubleclick", kEventMouseDoubleClick},
      {L"select", kEventSelect},
      {L"unselect", kEventUnSelect},
      {L"menu", kEventMouseMenu},
      {L"scrollwheel", kEventMouseScrollWheel},
      {L"scrollchange", kEventScrollChange},
      {L"valuechange", kEventValueChange},
      {L"return", kEventReturn},
      {L"tab", kEventTab},
      {L"windowclose", kEventWindowClose},
  };
  for (const auto& entry : kNames) {
    if (name == entry.name) return entry.code;
  }
  return kEventNone;
}

}  // namespace ui
