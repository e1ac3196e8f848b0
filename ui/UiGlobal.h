// The toolkit's process-wide state: render factory, resource path, DPI scale,
// the shared fonts, colours and classes of global.xml, the image cache and the
// language table. UI thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "ui/ClassTable.h"
#include "ui/ColourTable.h"
#include "ui/DpiState.h"
#include "ui/FontTable.h"
#include "ui/ImageInfo.h"

namespace ui {

class Control;
class IRenderContext;
class IRenderFactory;
class LanguageTable;

// Makes a control for an element name the layout builder does not know; null
// when it cannot.
using CreateControlCallback = std::function<Control*(const std::wstring& elementName)>;

class UiGlobal {
 public:
  // Starts the toolkit: render factory, resource path (root + theme folder),
  // the hook, DPI awareness and scale, global.xml, the language file (root +
  // language folder +
  // "\gdstrings.ini"), GDI+ and the common controls. Open the skin archive
  // first.
  static void Startup(const std::wstring& resourceRoot, const CreateControlCallback& hook,
                      const std::wstring& themeFolder, const std::wstring& languageFolder);

  // Clean-up, in this order after the archive is closed.
  static void DeleteRenderFactory();
  static void DeleteAllFonts();
  static void ShutdownGdiplus();

  static IRenderFactory* GetRenderFactory();
  // Replaces the factory (Startup installs the GDI+ one).
  static void SetRenderFactory(std::unique_ptr<IRenderFactory> factory);
  // A small context for measuring text outside painting; null without a
  // factory.
  static IRenderContext* GetMeasureContext();

  // A backslash is appended unless the path ends in a backslash or slash; ""
  // stays "".
  static void SetResourcePath(const std::wstring& path);
  static const std::wstring& GetResourcePath();

  static const CreateControlCallback& GetCreateControlHook();

  static DpiState& GetDpiState();
  static int ScaleValue(int value) { return GetDpiState().ScaleValue(value); }

  static FontTable& GetFontTable();
  // Null when |index| is not a font number.
  static HFONT GetFont(int index);
  static ColourTable& GetColourTable();
  // Unknown names give 0 (transparent).
  static DWORD GetColour(const std::wstring& name);
  static ClassTable& GetClassTable();
  static std::wstring GetClassAttributes(const std::wstring& name);

  // The default colour names, set by attributes of the Global element.
  static const std::wstring& GetDefaultTextColour();
  static const std::wstring& GetDefaultDisabledTextColour();
  static const std::wstring& GetDefaultLinkColour();
  static const std::wstring& GetDefaultLinkHoverColour();
  static const std::wstring& GetDefaultSelectedColour();
  static void SetDefaultColour(const std::wstring& attribute, const std::wstring& colourName);

  static LanguageTable& GetLanguageTable();
  static std::wstring GetStringById(const std::wstring& key);

  // resource path + window folder + name for a relative name, the name itself
  // when absolute.
  static std::wstring ResolveImagePath(const std::wstring& windowFolder, const std::wstring& name);
  // The decoded image of a path (relative to the current directory or
  // absolute), shared through the cache. Null when it cannot be read or
  // decoded.
  static std::shared_ptr<ImageInfo> GetImage(const std::wstring& path);
  static void ClearImageCache();

  // Reads a skin file given by its full relative name (resource path included):
  // from the archive when one is open, otherwise from the file system. No
  // fallback between the two.
  static bool ReadSkinFile(const std::wstring& path, std::string* bytes);
  static bool IsArchiveOpen();

  // Loads global.xml from the resource path (Startup does this).
  static void LoadGlobalResources();
  // Loads the language file (Startup does this).
  static void LoadLanguage(const std::wstring& path);

  static bool IsAbsolutePath(const std::wstring& path);
};

}  // namespace ui
