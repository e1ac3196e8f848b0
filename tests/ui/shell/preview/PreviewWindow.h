// The main layout (basic.xml) showing one chosen page, filled the way the installer fills it.
#pragma once

#include <windows.h>

#include <string>

#include "ui/shell/WindowImplBase.h"

class PreviewLog;

struct PreviewOptions {
  std::wstring layout = L"basic";  // "basic" or "msgbox"
  std::wstring page = L"welcompage";
  int dpi = 0;  // 0: the system's
  double progress = 42.5;
  bool expand = false;
  std::wstring text;  // message box content; empty: the running-product question
  std::wstring yes = L"重试";
  std::wstring no = L"强制关闭";
  std::wstring logPath;
  std::wstring root;  // folder holding resources\ when the program carries no skin
};

class PreviewWindow : public ui::WindowImplBase {
 public:
  PreviewWindow(const PreviewOptions& options, PreviewLog* log);

  std::wstring WindowClassName() const override { return L"MainWindow"; }
  std::wstring SkinFolder() const override { return L"basic"; }
  std::wstring SkinFile() const override { return L"basic.xml"; }
  void OnLayoutReady() override;
  LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

  void ShowPage(const std::wstring& page);
  void SetProgress(double percent);
  void ToggleCustomizeBar();
  // Opens the message box over this window with the options' texts.
  void OpenQuestion();
  // Once both windows have painted, logs "ready" and the rectangles tests look at.
  void LogWhenPainted();

  static const wchar_t* const kPages[5];

 private:
  bool OnAnyClick(const ui::EventArgs& args);

  PreviewOptions options_;
  PreviewLog* log_;
  bool expanded_ = false;
  bool questionOpened_ = false;
};
