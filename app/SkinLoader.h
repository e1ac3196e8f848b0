// Brings the skin up on the UI thread: picks the theme tree for the system
// DPI, opens the THEME resource as the skin archive and starts the toolkit.
#pragma once

#include <string>

class SkinLoader {
 public:
  // "themes\default" up to 100 DPI, "themes\default-hdpi" up to 131,
  // "themes\default-xhdpi" above.
  static std::wstring ThemeFolderForDpi(int dpi);
  // The scale (percent) the bitmaps of that tree are drawn for: 100, 125, 150.
  static int ThemeDensityForDpi(int dpi);

  // Picks the theme tree for |system_dpi|, opens resource 136 of type THEME as the skin archive
  // (closing any open one) and starts the toolkit on the calling (UI) thread. Without the
  // resource the toolkit reads the same names from the file system.
  static void Load(int system_dpi);

  // Undoes Load() in the toolkit's order: archive, render factory, fonts,
  // GDI+.
  static void Unload();
};
