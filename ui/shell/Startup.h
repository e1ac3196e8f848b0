// Starting and stopping the toolkit: what the program tells it, and the order
// in which the shared state is filled.
#pragma once

#include <string>

#include "ui/core/UiGlobal.h"

namespace ui {

struct StartupOptions {
  // "resources\": the folder, inside the skin archive or on disk, of the theme
  // and language folders.
  std::wstring resourceRoot;
  CreateControlHook createControlHook;
  // The theme tree, and the scale (percent) its bitmaps are drawn for.
  std::wstring themeFolder;
  int themeDensity = 100;
  std::wstring languageFolder;
  // The framework thread that starts the toolkit and runs its windows.
  int uiThreadId = 0;
};

// Starts the toolkit: render factory, resource path (root + theme folder), the
// hook, DPI awareness and scale, global.xml, the language file (root + language
// folder + "\gdstrings.ini"), GDI+ and the common controls. Open the skin
// archive first.
void Startup(const StartupOptions& options);

// Loads global.xml from the resource path into the shared fonts, colours and
// classes (Startup does this).
void LoadGlobalResources();
// Loads the language file of |path| (Startup does this).
void LoadLanguage(const std::wstring& path);

// Ends GDI+ with the token Startup obtained; harmless when it never started.
void ShutdownGdiplus();

}  // namespace ui
