// The installer's main window: binds the basic.xml layout, runs the flow from
// the welcome page through download and silent setup to the launch of the
// product, and raises the usage events of each step.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "base/ScopedHandle.h"
#include "engine/CProgressModel.h"
#include "installer/FlowState.h"
#include "ui/core/Box.h"
#include "ui/widgets/Button.h"
#include "ui/core/EventArgs.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/Progress.h"
#include "ui/widgets/RichEdit.h"
#include "ui/shell/WindowImplBase.h"

struct DownloadResult;

class CMainWindow : public ui::WindowImplBase {
 public:
  // Which step a failure page reports.
  enum class FailureKind { Download, Setup };

  CMainWindow();
  ~CMainWindow() override;

  static constexpr wchar_t kClassName[] = L"MainWindow";

  std::wstring WindowClassName() const override { return kClassName; }
  std::wstring SkinFolder() const override { return L"basic"; }
  std::wstring SkinFile() const override { return L"basic.xml"; }
  void OnLayoutReady() override;
  LRESULT OnCloseRequest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

  // Button and check box handlers.
  bool HandleClick(const ui::EventArgs& args);
  bool UpdateSurveyQuitButton(const ui::EventArgs& args);
  bool UpdateStartButton(const ui::EventArgs& args);

  // The flow.
  void StartInstall();
  void RestartInstall();
  // The install page replaces whatever page was up, and the download starts.
  void ShowInstallPageAndDownload();
  void ShowExitSurvey();
  void HandleExitRequest();
  void SubmitExitSurvey();
  void OpenOfflinePackagePage();
  void ToggleCustomizeBar();
  void ChooseInstallFolder();

  // Download and setup results, progress.
  void UpdateProgress(int value);
  void OnDownloadFinished(const DownloadResult& result);
  void ShowFailure(FailureKind kind, const std::wstring& text);
  void CheckProductRunning();
  void StartSetup();
  void OnSetupFinished(int32_t exitCode);
  void OnSetupSucceeded();
  void LaunchProduct();

  FlowState state() const { return state_; }
  const std::wstring& installDir() const { return installDir_; }

 private:
  void InitDefaultInstallFolder();
  void InitRecordedInstallFolder();
  void InitChannel();
  void PostDownload();
  // Every way out of the flow: nothing acts after it, and the window fades and closes.
  void Leave();
  void SetVisible(const wchar_t* name, bool visible);
  bool IsChecked(const std::wstring& name) const;
  void AttachClick(const wchar_t* name);

  bool expanded_ = false;
  std::wstring packageUrl_;
  std::wstring downloadFolder_;
  std::wstring packagePath_;
  std::wstring installDir_;
  std::wstring channel_;
  int progress_ = 0;
  FlowState state_ = FlowState::Welcome;
  bool productAtRecordedPath_ = false;
  std::wstring lastDownloadError_;
  HRESULT lastDownloadResult_ = S_OK;
  int32_t setupExitCode_ = 0;
  int reinstallCount_ = 0;
  bool leaving_ = false;         // an exit is under way
  bool exitBoxOpen_ = false;     // the leave-after-failure question is up
  bool choosingFolder_ = false;  // the folder dialog is open

  // The verified package, held open (read sharing only) until the setup task
  // has started it, so it cannot be replaced in between.
  std::shared_ptr<nbase::ScopedFileHandle> package_;
  CProgressModel progressModel_;

  ui::Box* welcompage_ = nullptr;
  ui::Box* exitStartpage_ = nullptr;
  ui::Box* installpage_ = nullptr;
  ui::Box* installedpage_ = nullptr;
  ui::Box* installfaildpage_ = nullptr;
  ui::Box* customizebar_ = nullptr;
  ui::Progress* progressInstall_ = nullptr;
  ui::Label* progressInstallValue_ = nullptr;
  ui::Label* downloadFailedMsg_ = nullptr;
  ui::Box* downloadAlert_ = nullptr;
  ui::Button* btnExpand_ = nullptr;
  ui::Button* btnExit_ = nullptr;
  ui::Button* btnStartInstall_ = nullptr;
  ui::Button* btnReinstall_ = nullptr;
  ui::RichEdit* editInstallDir_ = nullptr;
};
