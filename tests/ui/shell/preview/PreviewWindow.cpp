#include "PreviewWindow.h"

#include "PreviewLog.h"
#include "base/MessageLoop.h"
#include "base/StringUtil.h"
#include "base/TimeDelta.h"
#include "ui/core/Box.h"
#include "ui/core/Control.h"
#include "ui/widgets/Label.h"
#include "ui/shell/MsgBox.h"
#include "ui/widgets/Progress.h"
#include "ui/widgets/RichEdit.h"
#include "ui/core/UiGlobal.h"

namespace {

const wchar_t kProductName[] = L"岚枢PDF转换器";

}  // namespace

const wchar_t* const PreviewWindow::kPages[5] = {L"welcompage", L"installpage", L"installedpage",
                                                 L"installfaildpage", L"ExitStartpage"};

PreviewWindow::PreviewWindow(const PreviewOptions& options, PreviewLog* log)
    : options_(options), log_(log) {}

void PreviewWindow::OnLayoutReady() {
  if (ui::Control* image = FindNamedControl(L"bkimage1")) image->SetVisible(false);
  if (ui::Control* image = FindNamedControl(L"bkimage2")) image->SetVisible(true);
  for (const wchar_t* name : {L"appnameLable_install", L"appnameLable_welcom"}) {
    if (auto* label = dynamic_cast<ui::Label*>(FindNamedControl(name)))
      label->SetText(kProductName);
  }
  if (auto* label = dynamic_cast<ui::Label*>(FindNamedControl(L"askuserStayMsg"))) {
    label->SetText(L"恳请给个机会，体验软件功能");
  }
  if (auto* label = dynamic_cast<ui::Label*>(FindNamedControl(L"download_failed_msg"))) {
    label->SetText(L"失败原因：无法连接到服务器。(下载)");
  }
  if (auto* edit = dynamic_cast<ui::RichEdit*>(FindNamedControl(L"edit_installdir"))) {
    edit->SetText(L"C:\\Program Files (x86)\\zorvikmedia\\pageWright");
  }
  if (auto* root = dynamic_cast<ui::Box*>(GetRoot())) {
    root->AddBubbledHandler(ui::kEventClick, MakeWeakCallback([this](const ui::EventArgs& args) {
                              return OnAnyClick(args);
                            }));
  }
  ShowPage(options_.page);
  SetProgress(options_.progress);
}

void PreviewWindow::ShowPage(const std::wstring& page) {
  for (const wchar_t* name : kPages) {
    if (ui::Control* box = FindNamedControl(name)) box->SetVisible(page == name);
  }
  // As the installer flow does: the survey sits under the short top band, and neither the
  // survey nor the running installation offers the close cross.
  const bool survey = page == L"ExitStartpage";
  if (ui::Control* image = FindNamedControl(L"bkimage1")) image->SetVisible(survey);
  if (ui::Control* image = FindNamedControl(L"bkimage2")) image->SetVisible(!survey);
  if (ui::Control* exit = FindNamedControl(L"btn_exit")) {
    exit->SetVisible(!survey && page != L"installpage");
  }
  if (log_) log_->Write(L"page " + page);
}

void PreviewWindow::SetProgress(double percent) {
  if (auto* bar = dynamic_cast<ui::Progress*>(FindNamedControl(L"progress_install"))) {
    bar->SetValue(percent);
  }
  if (auto* line = dynamic_cast<ui::Label*>(FindNamedControl(L"progress_install_value"))) {
    line->SetText(nbase::FormatWideString(L"正在下载，请不要关闭：%0.1f%%", percent));
  }
}

void PreviewWindow::ToggleCustomizeBar() {
  const int delta = ui::UiGlobal::GetDpiState().GetScale() * 48 / 100;
  ui::Control* bar = FindNamedControl(L"customizebar");
  auto* expand = FindNamedControl(L"btn_expand");
  if (!bar || !expand) return;
  bar->SetVisible(!expanded_);
  expand->SetBkImage(expanded_ ? L"icon_down.png" : L"icon_up.png");
  RECT client;
  if (::GetClientRect(GetHWND(), &client)) {
    ::SetWindowPos(GetHWND(), nullptr, 0, 0, client.right,
                   client.bottom + (expanded_ ? -delta : delta),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  expanded_ = !expanded_;
}

void PreviewWindow::OpenQuestion() {
  const std::wstring content =
      options_.text.empty()
          ? nbase::FormatWideString(L"应用程序 \"%s\" 正在运行，是否强制关闭？", kProductName)
          : options_.text;
  PreviewLog* log = log_;
  HWND owner = GetHWND();
  auto answered = MakeWeakCallback([log, owner](MsgBoxRet ret) {
    if (!log) return;
    log->Write(nbase::FormatWideString(L"answer %s owner-enabled=%d",
                                       ret == MsgBoxRet::Yes ? L"Yes" : L"No",
                                       ::IsWindowEnabled(owner) ? 1 : 0));
  });
  OpenMsgBox(owner, answered, content, false, L"提示", false, options_.yes, false, options_.no,
             false);
  // Give the box a findable name; the installer's own box has none.
  if (HWND box = ::FindWindowW(L"MsgBox", nullptr)) {
    ::SetWindowTextW(box, L"PageWright preview msgbox");
  }
  if (log_) log_->Write(L"msgbox opened");
}

bool PreviewWindow::OnAnyClick(const ui::EventArgs& args) {
  if (log_ && args.sender) log_->Write(L"click " + args.sender->GetName());
  if (args.sender &&
      (args.sender->GetName() == L"btn_expand" || args.sender->GetName() == L"btn_customize")) {
    ToggleCustomizeBar();
  }
  return true;
}

LRESULT PreviewWindow::OnKeyDown(UINT, WPARAM wParam, LPARAM, bool& handled) {
  handled = false;
  if (wParam >= '1' && wParam <= '5') {
    ShowPage(kPages[wParam - '1']);
    handled = true;
  } else if (wParam == 'M') {
    OpenQuestion();
    handled = true;
  } else if (wParam == 'E') {
    ToggleCustomizeBar();
    handled = true;
  } else if (wParam == VK_ESCAPE) {
    ::PostMessageW(GetHWND(), WM_CLOSE, 0, 0);
    handled = true;
  }
  return 0;
}

namespace {

void LogControls(PreviewLog* log, const wchar_t* prefix, ui::Window* window,
                 std::initializer_list<const wchar_t*> names) {
  RECT rect;
  ::GetWindowRect(window->GetHWND(), &rect);
  log->Write(nbase::FormatWideString(L"%s-window %d %d %d %d", prefix, rect.left, rect.top,
                                     rect.right - rect.left, rect.bottom - rect.top));
  for (const wchar_t* name : names) {
    ui::Control* control = window->FindNamedControl(name);
    if (!control || !control->IsVisible()) continue;
    const RECT& pos = control->GetPos();
    log->Write(nbase::FormatWideString(L"%s-control %s %d %d %d %d", prefix, name, pos.left,
                                       pos.top, pos.right, pos.bottom));
  }
}

}  // namespace

void PreviewWindow::LogWhenPainted() {
  // The box opens over a main window that is already on screen, as in the installer.
  if (options_.layout == L"msgbox" && !questionOpened_ && GetPaintStats().paints > 0) {
    questionOpened_ = true;
    OpenQuestion();
  }
  HWND boxHwnd = options_.layout == L"msgbox" ? ::FindWindowW(L"MsgBox", nullptr) : nullptr;
  auto* box = boxHwnd ? reinterpret_cast<ui::Window*>(::GetWindowLongPtrW(boxHwnd, GWLP_USERDATA))
                      : nullptr;
  const bool painted =
      GetPaintStats().paints > 0 && (!boxHwnd || (box && box->GetPaintStats().paints > 0));
  if (!painted) {
    nbase::MessageLoop::Current()->PostDelayedTask(MakeWeakCallback([this] { LogWhenPainted(); }),
                                                   nbase::TimeDelta::FromMilliseconds(50));
    return;
  }
  if (!log_) return;
  LogControls(
      log_, L"main", this,
      {L"btn_startinstall", L"appnameLable_welcom", L"appnameLable_install", L"progress_install",
       L"progress_install_value", L"btn_startapp", L"btn_redownload", L"download_failed_msg",
       L"btn_continueInstall", L"edit_feedback", L"btn_exit", L"customizebar", L"edit_installdir",
       L"askuserStayMsg", L"btn_quitStart", L"btn_changeinstallpath"});
  if (box) {
    LogControls(log_, L"box", box, {L"title", L"content", L"btn_yes", L"btn_no", L"closebtn"});
  }
  log_->Write(L"ready");
}
