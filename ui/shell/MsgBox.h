// The installer's skinned question box: a title, a message and up to two buttons over a
// disabled owner. It never blocks: the answer arrives later as a task on the UI thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/widgets/Button.h"
#include "ui/widgets/RichEdit.h"
#include "ui/shell/WindowImplBase.h"

enum class MsgBoxRet { Yes = 0, No = 1 };

using MsgBoxCallback = std::function<void(MsgBoxRet)>;

class MsgBox : public ui::WindowImplBase {
 public:
  MsgBox() = default;
  ~MsgBox() override = default;

  std::wstring WindowClassName() const override { return L"MsgBox"; }
  UINT ClassStyle() const override { return CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS; }
  std::wstring SkinFolder() const override { return L"msgbox"; }
  std::wstring SkinFile() const override { return L"msgbox.xml"; }
  void OnLayoutReady() override;
  void CloseWithResult(UINT result) override;
  LRESULT OnCloseRequest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

  // Fills the texts, disables the owner, centres and shows the box.
  void Show(HWND owner, MsgBoxCallback callback, const std::wstring& content,
            const std::wstring& title, const std::wstring& yes, const std::wstring& no);

 private:
  bool HandleMsgBoxClick(const ui::EventArgs& args);
  // Closes the box and posts the answer to the UI thread, once.
  void FinishMsgBox(MsgBoxRet result);
  void SetContent(const std::wstring& content);

  ui::Control* title_ = nullptr;
  ui::RichEdit* content_ = nullptr;
  ui::Button* yes_ = nullptr;
  ui::Button* no_ = nullptr;
  MsgBoxCallback callback_;
  bool answered_ = false;
};

// Opens a message box over owner and returns at once; callback gets the answer later on the UI
// thread (closing the box by its close cross answers No). A text whose flag is set is a key of
// the language table.
void OpenMsgBox(HWND owner, MsgBoxCallback callback, const std::wstring& content, bool contentIsKey,
                const std::wstring& title, bool titleIsKey, const std::wstring& yes, bool yesIsKey,
                const std::wstring& no, bool noIsKey);
