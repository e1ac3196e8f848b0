#include "ui/shell/MsgBox.h"

#include "base/TaskPosting.h"
#include "ui/widgets/Button.h"
#include "ui/core/Control.h"
#include "ui/widgets/RichEdit.h"
#include "ui/core/UiGlobal.h"

namespace {

std::wstring Resolve(const std::wstring& text, bool isKey) {
  return isKey ? ui::UiGlobal::GetStringById(text) : text;
}

}  // namespace

void OpenMsgBox(HWND owner, MsgBoxCallback callback, const std::wstring& content, bool contentIsKey,
                const std::wstring& title, bool titleIsKey, const std::wstring& yes, bool yesIsKey,
                const std::wstring& no, bool noIsKey) {
  auto* box = new MsgBox();
  const RECT empty = {0, 0, 0, 0};
  if (!box->CreateNativeWindow(owner, L"", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX,
                               0, true, empty)) {
    delete box;  // the callback is dropped with it
    return;
  }
  box->Show(owner, std::move(callback), Resolve(content, contentIsKey), Resolve(title, titleIsKey),
            Resolve(yes, yesIsKey), Resolve(no, noIsKey));
}

void MsgBox::OnLayoutReady() {
  if (auto* root = dynamic_cast<ui::Box*>(GetRoot())) {
    root->AddBubbledHandler(ui::kEventClick, MakeWeakCallback([this](const ui::EventArgs& args) {
                              return HandleMsgBoxClick(args);
                            }));
  }
  title_ = FindNamedControl(L"title");
  content_ = dynamic_cast<ui::RichEdit*>(FindNamedControl(L"content"));
  yes_ = dynamic_cast<ui::Button*>(FindNamedControl(L"btn_yes"));
  no_ = dynamic_cast<ui::Button*>(FindNamedControl(L"btn_no"));
}

void MsgBox::Show(HWND owner, MsgBoxCallback callback, const std::wstring& content,
                  const std::wstring& title, const std::wstring& yes, const std::wstring& no) {
  if (auto* titleLabel = dynamic_cast<ui::Label*>(title_)) titleLabel->SetText(title);
  SetContent(content);
  if (yes_) {
    if (!yes.empty()) {
      yes_->SetText(yes);
      yes_->SetVisible(true);
      SetFocus(yes_);
    } else {
      yes_->SetVisible(false);
    }
  }
  if (no_) {
    if (!no.empty()) {
      no_->SetText(no);
      no_->SetVisible(true);
      if (yes.empty()) SetFocus(no_);
    } else {
      no_->SetVisible(false);
    }
  }
  callback_ = std::move(callback);
  if (owner) ::EnableWindow(owner, FALSE);
  CenterOnOwner();
  ShowWithFocus(true, true);
}

void MsgBox::SetContent(const std::wstring& content) {
  if (!content_) return;
  content_->SetText(content);
  // The field is as tall as its text at its fixed width; the auto-sized box follows.
  const int width = content_->GetFixedWidth();
  if (width <= 0) return;
  const SIZE natural = content_->GetNaturalSize(width, 0);
  if (natural.cy > 0 && natural.cy != content_->GetFixedHeight()) {
    content_->SetFixedHeight(natural.cy, true, false);
  }
}

bool MsgBox::HandleMsgBoxClick(const ui::EventArgs& args) {
  if (!args.sender) return true;
  const std::wstring& name = args.sender->GetName();
  if (name == L"btn_yes") {
    FinishMsgBox(MsgBoxRet::Yes);
  } else if (name == L"btn_no" || name == L"closebtn") {
    FinishMsgBox(MsgBoxRet::No);
  }
  return true;
}

void MsgBox::FinishMsgBox(MsgBoxRet result) {
  // A second click while the box fades out must not answer again.
  if (answered_) return;
  answered_ = true;
  CloseWithResult(0);
  if (!callback_) return;
  MsgBoxCallback callback = std::move(callback_);
  callback_ = nullptr;
  nbase::PostTaskToThread(ui::UiGlobal::GetUiThreadId(), [callback, result] { callback(result); });
}

void MsgBox::CloseWithResult(UINT result) {
  HWND owner = GetHWND() ? ::GetWindow(GetHWND(), GW_OWNER) : nullptr;
  if (owner) {
    ::EnableWindow(owner, TRUE);
    ::SetFocus(owner);
  }
  WindowImplBase::CloseWithResult(result);
}

LRESULT MsgBox::OnCloseRequest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  // Closed from outside (Alt+F4, the task bar): treat it as the close cross, so the owner is
  // enabled again and the caller still gets its answer.
  if (!answered_) {
    handled = true;
    FinishMsgBox(MsgBoxRet::No);
    return 0;
  }
  return WindowImplBase::OnCloseRequest(message, wParam, lParam, handled);
}
