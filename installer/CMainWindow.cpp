#include "installer/CMainWindow.h"

#include <shlobj.h>

#include <functional>
#include <utility>

#include "base/NumberText.h"
#include "base/StringUtil.h"
#include "base/TaskPosting.h"
#include "base/ThreadIds.h"
#include "base/TimeDelta.h"
#include "build_config.h"
#include "engine/DownloadFolder.h"
#include "engine/DownloadProgress.h"
#include "engine/InstallDetection.h"
#include "engine/PackageDownloader.h"
#include "engine/PackageInstaller.h"
#include "engine/PackageUrl.h"
#include "engine/ProcessUtil.h"
#include "engine/ProductInfo.h"
#include "engine/ProductLauncher.h"
#include "engine/Registry.h"
#include "engine/SpecialFolder.h"
#include "engine/SystemMessage.h"
#include "installer/OpenUrl.h"
#include "report/Identity.h"
#include "report/Report.h"
#include "ui/core/Box.h"
#include "ui/widgets/Button.h"
#include "ui/widgets/CheckBox.h"
#include "ui/core/Control.h"
#include "ui/widgets/Label.h"
#include "ui/shell/MsgBox.h"
#include "ui/widgets/Progress.h"
#include "ui/widgets/RichEdit.h"
#include "ui/core/UiGlobal.h"

namespace {

constexpr int kProgramFilesX86 = 42;  // CSIDL_PROGRAM_FILESX86
constexpr UINT kBrowseFlags =
    0x151;  // return only file-system folders, edit box, new style, UA hint
constexpr int kCustomizeBarHeight = 48;
constexpr int kTickerIntervalMs = 200;
constexpr int kSurveyReasons = 5;
constexpr const wchar_t* kSurveyLabels[kSurveyReasons] = {L"已安装", L"曾安装", L"下载错",
                                                          L"不喜欢", L"无理由"};

const wchar_t kInstallerChannel[] = L"InstallerChannel";
const wchar_t kInstallerPath[] = L"InstallerPath";

std::wstring AgreementUrl() {
  return std::wstring(L"https://") + build_config::kAgreementHost + L"/user-agreement/";
}

std::wstring OfflinePackageUrl() {
  return std::wstring(L"http://") + build_config::kOfflineHost + L"/offline/pdf.html";
}

ReportSink MakeReportSink() {
  return [](const std::wstring& name, const ReportFields& fields) { ReportEvent(name, fields); };
}

ProgressPhase PhaseOf(FlowState state) {
  switch (state) {
    case FlowState::Downloading:
      return ProgressPhase::Downloading;
    case FlowState::Installing:
    case FlowState::ExitSurvey:
      return ProgressPhase::Creeping;
    default:
      return ProgressPhase::Frozen;
  }
}

// Preselects the folder passed in lpData once the browser is up.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED && data != 0)
    ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}

// The new-style folder browser needs OLE on the calling thread.
class ScopedOleInit {
 public:
  ScopedOleInit() : result_(::OleInitialize(nullptr)) {}
  ~ScopedOleInit() {
    if (SUCCEEDED(result_)) ::OleUninitialize();
  }
  ScopedOleInit(const ScopedOleInit&) = delete;
  ScopedOleInit& operator=(const ScopedOleInit&) = delete;

 private:
  const HRESULT result_;
};

}  // namespace

CMainWindow::CMainWindow() {
  InitDefaultInstallFolder();
  InitChannel();
  InitRecordedInstallFolder();
  packageUrl_ = BuildPackageUrl(channel_, IsNative64Bit());
  DownloadLocation location;
  SelectDownloadFolder(&location);
  downloadFolder_ = location.downloadFolder;
  packagePath_ = location.packagePath;
}

CMainWindow::~CMainWindow() = default;

void CMainWindow::InitDefaultInstallFolder() {
  installDir_ = GetSpecialFolderPath(kProgramFilesX86) + product::kProductSubFolder;
}

void CMainWindow::InitChannel() {
  std::wstring channel = ChannelOrDefault();
  if (channel == L"upgrade") {
    const std::wstring recorded = RegReadString(product::kAppInfoKey, kInstallerChannel);
    if (!recorded.empty()) channel = recorded;
  } else if (!channel.empty()) {
    RegWriteString(product::kAppInfoKey, kInstallerChannel, channel);
  }
  channel_ = channel;
}

void CMainWindow::InitRecordedInstallFolder() {
  productAtRecordedPath_ = false;
  const std::wstring recorded = RegReadString(product::kAppInfoKey, kInstallerPath);
  if (recorded.empty()) return;
  installDir_ = recorded;
  const std::wstring exe = recorded + L"\\" + product::kProductExeName;
  productAtRecordedPath_ = ::GetFileAttributesW(exe.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// ---------------------------------------------------------------------------
// Binding

void CMainWindow::AttachClick(const wchar_t* name) {
  if (ui::Control* control = FindNamedControl(name))
    control->AddClickHandler(
        MakeWeakCallback([this](const ui::EventArgs& args) { return HandleClick(args); }));
}

void CMainWindow::OnLayoutReady() {
  SetVisible(L"bkimage1", false);
  SetVisible(L"bkimage2", true);

  welcompage_ = dynamic_cast<ui::Box*>(FindNamedControl(L"welcompage"));
  exitStartpage_ = dynamic_cast<ui::Box*>(FindNamedControl(L"ExitStartpage"));
  installpage_ = dynamic_cast<ui::Box*>(FindNamedControl(L"installpage"));
  installedpage_ = dynamic_cast<ui::Box*>(FindNamedControl(L"installedpage"));
  installfaildpage_ = dynamic_cast<ui::Box*>(FindNamedControl(L"installfaildpage"));
  customizebar_ = dynamic_cast<ui::Box*>(FindNamedControl(L"customizebar"));
  progressInstall_ = dynamic_cast<ui::Progress*>(FindNamedControl(L"progress_install"));
  progressInstallValue_ = dynamic_cast<ui::Label*>(FindNamedControl(L"progress_install_value"));
  downloadFailedMsg_ = dynamic_cast<ui::Label*>(FindNamedControl(L"download_failed_msg"));
  downloadAlert_ = dynamic_cast<ui::Box*>(FindNamedControl(L"downloadAlert"));

  for (const wchar_t* name :
       {L"btn_useragreement", L"btn_customize", L"btn_changeinstallpath", L"btn_startapp",
        L"btn_reinstall", L"btn_redownload", L"btn_downloadOfflinePackage", L"btn_continueInstall",
        L"btn_quitStart"}) {
    AttachClick(name);
  }

  const auto surveyHandler =
      MakeWeakCallback([this](const ui::EventArgs& args) { return UpdateSurveyQuitButton(args); });
  for (int i = 1; i <= kSurveyReasons; ++i) {
    if (ui::Control* box = FindNamedControl(L"checkbox_" + nbase::Int64ToWide(i)))
      box->AddSelectHandler(surveyHandler);
  }
  for (int i = 1; i <= kSurveyReasons; ++i) {
    if (ui::Control* box = FindNamedControl(L"checkbox_" + nbase::Int64ToWide(i)))
      box->AddUnselectHandler(surveyHandler);
  }
  if (ui::Control* feedback = FindNamedControl(L"edit_feedback"))
    feedback->AddEventHandler(ui::kEventTextChange, surveyHandler);

  btnExpand_ = dynamic_cast<ui::Button*>(FindNamedControl(L"btn_expand"));
  btnExit_ = dynamic_cast<ui::Button*>(FindNamedControl(L"btn_exit"));
  btnStartInstall_ = dynamic_cast<ui::Button*>(FindNamedControl(L"btn_startinstall"));
  AttachClick(L"btn_expand");
  AttachClick(L"btn_exit");
  AttachClick(L"btn_startinstall");
  btnReinstall_ = dynamic_cast<ui::Button*>(FindNamedControl(L"btn_reinstall"));

  editInstallDir_ = dynamic_cast<ui::RichEdit*>(FindNamedControl(L"edit_installdir"));
  if (editInstallDir_) editInstallDir_->SetText(installDir_);

  if (ui::Control* agreement = FindNamedControl(L"checkbox_agreement")) {
    const auto startHandler =
        MakeWeakCallback([this](const ui::EventArgs& args) { return UpdateStartButton(args); });
    agreement->AddUnselectHandler(startHandler);
    agreement->AddSelectHandler(startHandler);
  }

  for (const wchar_t* name : {L"appnameLable_install", L"appnameLable_welcom"}) {
    if (auto* label = dynamic_cast<ui::Label*>(FindNamedControl(name)))
      label->SetText(product::kProductDisplayName);
  }
  if (auto* ask = dynamic_cast<ui::Label*>(FindNamedControl(L"askuserStayMsg")))
    ask->SetText(L"恳请给个机会，体验软件功能");

  if (productAtRecordedPath_) {
    if (editInstallDir_) editInstallDir_->SetEnabled(false);
    if (ui::Control* change = FindNamedControl(L"btn_changeinstallpath")) change->SetEnabled(false);
  }
}

LRESULT CMainWindow::OnCloseRequest(UINT, WPARAM, LPARAM, bool& handled) {
  // Every way out ends here; nothing is torn down, and a setup already
  // started keeps running on its own.
  handled = true;
  ::TerminateProcess(::GetCurrentProcess(), 0);
  return 0;
}

void CMainWindow::SetVisible(const wchar_t* name, bool visible) {
  if (ui::Control* control = FindNamedControl(name)) control->SetVisible(visible);
}

bool CMainWindow::IsChecked(const std::wstring& name) const {
  const auto* box = dynamic_cast<const ui::CheckBox*>(FindNamedControl(name));
  return box != nullptr && box->IsSelected();
}

// ---------------------------------------------------------------------------
// Handlers

bool CMainWindow::HandleClick(const ui::EventArgs& args) {
  // Once the installer is on its way out, nothing acts any more.
  if (args.sender == nullptr || leaving_) return true;
  const std::wstring& name = args.sender->GetName();
  if (name == L"btn_useragreement") {
    OpenUrl(AgreementUrl());
  } else if (name == L"btn_customize" || name == L"btn_expand") {
    ToggleCustomizeBar();
  } else if (name == L"btn_startinstall" || name == L"btn_continueInstall") {
    // Only from the welcome page or the survey: a repeated or late click must not start a
    // second download.
    if (state_ == FlowState::Welcome || state_ == FlowState::ExitSurvey) StartInstall();
  } else if (name == L"btn_changeinstallpath") {
    if (state_ == FlowState::Welcome && !choosingFolder_) ChooseInstallFolder();
  } else if (name == L"btn_startapp") {
    if (state_ == FlowState::Installed) LaunchProduct();
  } else if (name == L"btn_quitStart") {
    if (state_ == FlowState::ExitSurvey) SubmitExitSurvey();
  } else if (name == L"btn_reinstall") {
    if (state_ == FlowState::DownloadFailed || state_ == FlowState::InstallFailed) {
      RestartInstall();
      ++reinstallCount_;
    }
  } else if (name == L"btn_exit") {
    // btn_exit is shown only on the welcome, success and failure pages; one exit question
    // at a time.
    if (!exitBoxOpen_ &&
        (state_ == FlowState::Welcome || state_ == FlowState::Installed ||
         state_ == FlowState::DownloadFailed || state_ == FlowState::InstallFailed)) {
      HandleExitRequest();
    }
  } else if (name == L"btn_redownload" || name == L"btn_downloadOfflinePackage") {
    OpenOfflinePackagePage();
  }
  return true;
}

bool CMainWindow::UpdateSurveyQuitButton(const ui::EventArgs&) {
  bool enabled = false;
  for (int i = 1; i <= kSurveyReasons && !enabled; ++i)
    enabled = IsChecked(L"checkbox_" + nbase::Int64ToWide(i));
  if (!enabled) {
    const auto* feedback = dynamic_cast<const ui::RichEdit*>(FindNamedControl(L"edit_feedback"));
    enabled = feedback != nullptr && !feedback->GetText().empty();
  }
  if (ui::Control* quit = FindNamedControl(L"btn_quitStart")) quit->SetEnabled(enabled);
  return true;
}

bool CMainWindow::UpdateStartButton(const ui::EventArgs&) {
  if (btnStartInstall_) btnStartInstall_->SetEnabled(IsChecked(L"checkbox_agreement"));
  return true;
}

// ---------------------------------------------------------------------------
// The flow

void CMainWindow::PostDownload() {
  DownloadRequest request;
  request.packageUrl = packageUrl_;
  request.cdnUrl = CdnPackageUrl();
  request.location.downloadFolder = downloadFolder_;
  request.location.packagePath = packagePath_;
  const auto finished = MakeWeakCallback(std::function<void(const DownloadResult&)>(
      [this](const DownloadResult& result) { OnDownloadFinished(result); }));
  nbase::PostTaskToThread(nbase::kMiscThreadId, [request, finished] {
    DownloadPackage(request, MakeReportSink(), [finished](const DownloadResult& result) {
      nbase::PostTaskToThread(nbase::kUiThreadId, [finished, result] { finished(result); });
    });
  });
}

void CMainWindow::ShowInstallPageAndDownload() {
  SetVisible(L"bkimage1", false);
  SetVisible(L"bkimage2", true);
  if (btnExit_) btnExit_->SetVisible(false);
  if (installpage_) installpage_->SetVisible(true);
  if (exitStartpage_) exitStartpage_->SetVisible(false);

  state_ = FlowState::Downloading;
  UpdateProgress(CProgressModel::kStartValue);
  PostDownload();
}

void CMainWindow::StartInstall() {
  if (expanded_) ToggleCustomizeBar();
  if (welcompage_) welcompage_->SetVisible(false);
  ShowInstallPageAndDownload();

  // One more ticker per start: they are never stopped, and each tick only
  // posts a progress update, which does nothing once the flow is settled.
  nbase::PostRepeatingTaskToThread(
      nbase::kUiThreadId, MakeWeakCallback(std::function<void()>([this] {
        nbase::PostTaskToThread(nbase::kUiThreadId,
                                MakeWeakCallback([this] { UpdateProgress(0); }));
      })),
      nbase::TimeDelta::FromMilliseconds(kTickerIntervalMs), -1);

  ReportEvent(L"OnClick", {{L"ClickSrc", L"Install"}});
}

void CMainWindow::RestartInstall() {
  if (installfaildpage_) installfaildpage_->SetVisible(false);
  ShowInstallPageAndDownload();
  ReportEvent(L"OnClick", {{L"ClickSrc", L"ReInstall"}});
}

void CMainWindow::ShowExitSurvey() {
  SetVisible(L"bkimage1", true);
  SetVisible(L"bkimage2", false);
  for (ui::Box* page : {installfaildpage_, welcompage_, installpage_, installedpage_}) {
    if (page) page->SetVisible(false);
  }
  if (exitStartpage_) exitStartpage_->SetVisible(true);
  if (btnExit_) btnExit_->SetVisible(false);

  state_ = FlowState::ExitSurvey;
  ReportEvent(L"OnClick", {{L"ClickSrc", L"ReInstall"}});
}

void CMainWindow::HandleExitRequest() {
  if (state_ == FlowState::Installed) {
    LaunchProduct();
    return;
  }
  if (ProductIsInstalled()) {
    if (RegReadString(product::kAppInfoKey, kInstallerPath).empty())
      ReportEvent(L"offline", {{L"result", L"success"}});
    ReportEvent(L"OnClick", {{L"btn_exit", state_ == FlowState::DownloadFailed ? L"Failed 已安装"
                                                                               : L"Start 已安装"}});
    Leave();
    return;
  }
  if (state_ == FlowState::InstallFailed) {
    const std::wstring content = nbase::FormatWideString(
        L"建议尽快下载完整安装包安装 \"%s\" 确定退出吗？", product::kProductDisplayName);
    OpenMsgBox(GetHWND(), MakeWeakCallback(std::function<void(MsgBoxRet)>([this](MsgBoxRet ret) {
                 exitBoxOpen_ = false;
                 if (leaving_) return;
                 if (ret == MsgBoxRet::Yes) {
                   ReportEvent(L"OnClick", {{L"btn_exit", L"Failed 未安装"}});
                   Leave();
                 } else {
                   OpenOfflinePackagePage();
                 }
               })),
               content, false, L"提示", false, L"已经安装", false, L"下载完整安装包", false);
    // A box that is up has disabled this window, and its answer comes later as a task; a box
    // that could not be created has dropped its callback, so nothing would clear the flag and
    // btn_exit would stay dead.
    exitBoxOpen_ = !::IsWindowEnabled(GetHWND());
    return;
  }
  ShowExitSurvey();
}

void CMainWindow::SubmitExitSurvey() {
  std::wstring feedback;
  if (const auto* edit = dynamic_cast<const ui::RichEdit*>(FindNamedControl(L"edit_feedback")))
    feedback = edit->GetText();
  feedback += L" ";

  std::wstring text;
  for (const wchar_t c : feedback) {
    if (c == L'\r' || c == L'\n') continue;
    if (c == L'"')
      text += L'\u201D';
    else
      text += c;
  }
  for (int i = 1; i <= kSurveyReasons; ++i) {
    if (IsChecked(L"checkbox_" + nbase::Int64ToWide(i))) text += kSurveyLabels[i - 1];
  }
  ReportEvent(L"OnClick", {{L"btn_exit", L"Start " + text}});
  Leave();
}

void CMainWindow::OpenOfflinePackagePage() {
  ReportEvent(L"OnClick", {{L"ClickSrc", L"DownloadOffline"}});
  OpenUrl(OfflinePackageUrl());
}

void CMainWindow::ToggleCustomizeBar() {
  const ui::DpiState& dpi = ui::UiGlobal::GetDpiState();
  const int scale = dpi.IsAware() ? dpi.GetScale() : 100;
  int delta = scale * kCustomizeBarHeight / 100;
  if (expanded_) {
    delta = -delta;
    if (customizebar_) customizebar_->SetVisible(false);
    if (btnExpand_) btnExpand_->SetBkImage(L"icon_down.png");
  } else {
    if (customizebar_) customizebar_->SetVisible(true);
    if (btnExpand_) btnExpand_->SetBkImage(L"icon_up.png");
  }
  expanded_ = !expanded_;

  RECT client = {};
  if (::GetClientRect(GetHWND(), &client)) {
    ::SetWindowPos(GetHWND(), nullptr, 0, 0, client.right - client.left,
                   client.bottom - client.top + delta, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void CMainWindow::ChooseInstallFolder() {
  const std::wstring start = GetSpecialFolderPath(kProgramFilesX86);
  ScopedOleInit ole;
  // The folder dialog runs its own message loop: a second click already queued must not open
  // a second dialog.
  choosingFolder_ = true;

  BROWSEINFOW info = {};
  info.hwndOwner = GetHWND();
  info.pidlRoot = nullptr;
  info.pszDisplayName = nullptr;
  info.lpszTitle = L"请选择安装路径";
  info.ulFlags = kBrowseFlags;
  info.lpfn = BrowseCallback;
  info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
  PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
  choosingFolder_ = false;
  if (chosen == nullptr) return;

  wchar_t path[MAX_PATH] = {};
  const bool ok = ::SHGetPathFromIDListW(chosen, path) != FALSE;
  ::CoTaskMemFree(chosen);
  if (!ok) return;

  installDir_ = std::wstring(path) + product::kProductSubFolder;
  if (editInstallDir_) editInstallDir_->SetText(installDir_);
}

// ---------------------------------------------------------------------------
// Download and setup results

void CMainWindow::UpdateProgress(int value) {
  ProgressView view;
  if (!progressModel_.Update(PhaseOf(state_), value, DownloadProgressPerMille(), ::GetTickCount(),
                             &view)) {
    return;
  }
  progress_ = progressModel_.progress();
  if (progressInstall_) progressInstall_->SetValue(view.barValue);
  if (progressInstallValue_) progressInstallValue_->SetText(view.label);
  if (view.showDownloadAlert && downloadAlert_) downloadAlert_->SetVisible(true);
}

void CMainWindow::OnDownloadFinished(const DownloadResult& result) {
  if (state_ != FlowState::Downloading) return;  // only the download in flight answers
  downloadFolder_ = result.location.downloadFolder;
  packagePath_ = result.location.packagePath;
  lastDownloadError_ = result.lastDownloadError;
  lastDownloadResult_ = result.lastDownloadResult;
  package_ = result.package;

  if (result.result != 0) {
    package_.reset();
    state_ = FlowState::DownloadFailed;
    if (reinstallCount_ > 0 && btnReinstall_) btnReinstall_->SetVisible(false);
    ShowFailure(FailureKind::Download, L"Download Faild :" + lastDownloadError_);
    return;
  }
  UpdateProgress(CProgressModel::kDownloadedValue);
  CheckProductRunning();
}

void CMainWindow::ShowFailure(FailureKind kind, const std::wstring& text) {
  if (installpage_) installpage_->SetVisible(false);
  if (installfaildpage_) installfaildpage_->SetVisible(true);
  if (btnExit_) btnExit_->SetVisible(true);

  const bool download = kind == FailureKind::Download;
  DWORD code =
      download ? static_cast<DWORD>(lastDownloadResult_) : static_cast<DWORD>(setupExitCode_);
  // A transfer that succeeded but brought a file the package check refused
  // must not read "success" on the failure page.
  if (download && SUCCEEDED(lastDownloadResult_)) code = ERROR_INVALID_DATA;
  if (downloadFailedMsg_) {
    downloadFailedMsg_->SetText(L"失败原因：" + FormatSystemMessage(code) +
                                (download ? L"(下载)" : L"(安装)"));
  }
  ReportEvent(L"InstallResultReport", {{L"errorMsg", text}, {L"result", L"faild"}});
  ::SetForegroundWindow(GetHWND());
}

void CMainWindow::CheckProductRunning() {
  if (FindProcessesByName(product::kProductExeName, false) == 0) {
    state_ = FlowState::Installing;
    StartSetup();
    return;
  }
  state_ = FlowState::WaitingForProduct;
  const std::wstring content = nbase::FormatWideString(L"应用程序 \"%s\" 正在运行，是否强制关闭？",
                                                       product::kProductDisplayName);
  OpenMsgBox(GetHWND(), MakeWeakCallback(std::function<void(MsgBoxRet)>([this](MsgBoxRet ret) {
               if (ret == MsgBoxRet::Yes) {
                 CheckProductRunning();
                 return;
               }
               FindProcessesByName(product::kProductExeName, true);
               ::Sleep(100);
               state_ = FlowState::Installing;
               StartSetup();
             })),
             content, false, L"提示", false, L"重试", false, L"强制关闭", false);
}

void CMainWindow::StartSetup() {
  InstallRequest request;
  request.packagePath = packagePath_;
  request.installDir = installDir_;
  // The task closes the package once the setup has been started from it.
  request.package = std::move(package_);
  const auto finished = MakeWeakCallback(std::function<void(const InstallResult&)>(
      [this](const InstallResult& result) { OnSetupFinished(result.setupExitCode); }));
  nbase::PostTaskToThread(nbase::kMiscThreadId, [request, finished] {
    InstallPackage(request, MakeReportSink(), [finished](const InstallResult& result) {
      nbase::PostTaskToThread(nbase::kUiThreadId, [finished, result] { finished(result); });
    });
  });
}

void CMainWindow::OnSetupFinished(int32_t exitCode) {
  if (state_ != FlowState::Installing) return;
  setupExitCode_ = exitCode;
  if (exitCode != 0) {
    state_ = FlowState::InstallFailed;
    if (reinstallCount_ > 0 && btnReinstall_) btnReinstall_->SetVisible(false);
    ShowFailure(FailureKind::Setup, L"Install Faild errorCode:" + nbase::Int64ToWide(exitCode));
    return;
  }
  state_ = FlowState::Installed;
  OnSetupSucceeded();
}

void CMainWindow::OnSetupSucceeded() {
  if (installpage_) installpage_->SetVisible(false);
  if (installedpage_) installedpage_->SetVisible(true);
  if (btnExit_) btnExit_->SetVisible(true);
  RegWriteString(product::kAppInfoKey, kInstallerChannel, channel_);
  RegWriteString(product::kAppInfoKey, kInstallerPath, installDir_);
  ReportEvent(L"InstallResultReport", {{L"result", L"success"}});
  ::SetForegroundWindow(GetHWND());
}

void CMainWindow::LaunchProduct() {
  ::LaunchProduct(installDir_);
  Leave();
}

void CMainWindow::Leave() {
  leaving_ = true;
  CloseWithResult(1);
}
