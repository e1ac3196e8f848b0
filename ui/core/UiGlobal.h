// The toolkit's process-wide state: render factory, resource path, DPI scale,
// the shared fonts, colours and classes of global.xml, the image cache and the
// language table. UI thread only. The toolkit's start-up (ui/shell) fills it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "ui/draw/ImageInfo.h"
#include "ui/misc/DpiState.h"
#include "ui/skin/ClassTable.h"
#include "ui/skin/ColourTable.h"
#include "ui/skin/FontTable.h"
#include "ui/skin/GlobalDefinitions.h"
#include "ui/skin/LanguageTable.h"

namespace ui {

class Control;
class IRenderContext;
class IRenderFactory;

// Makes a control for an element name the layout builder does not know; null
// when it cannot.
using CreateControlHook = std::function<Control*(const std::wstring& elementName)>;

class UiGlobal {
 public:
  static IRenderFactory* GetRenderFactory();
  // Replaces the factory (the start-up installs the GDI+ one).
  static void SetRenderFactory(std::unique_ptr<IRenderFactory> factory);
  static void DeleteRenderFactory();
  // A small context for measuring text outside painting; null without a
  // factory.
  static IRenderContext* GetMeasureContext();

  // A backslash is appended unless the path ends in a backslash or slash; ""
  // stays "".
  static void SetResourcePath(const std::wstring& path);
  static const std::wstring& GetResourcePath();

  static void SetCreateControlHook(const CreateControlHook& hook);
  static const CreateControlHook& GetCreateControlHook();

  // The scale (percent) the bitmaps of the theme folder are drawn for: 100 for
  // the plain tree, more for the trees of larger displays. The program sets it
  // when it picks the folder.
  static void SetThemeDensity(int percent);
  static int GetThemeDensity();

  // The framework thread the toolkit's windows live on, for answers that must
  // run there after the current message.
  static void SetUiThreadId(int id);
  static int GetUiThreadId();

  static DpiState& GetDpiState();

  static FontTable& GetFontTable();
  // Null when |index| is not a font number.
  static HFONT GetFont(int index);
  static void DeleteAllFonts();
  static ColourTable& GetColourTable();
  // Unknown names give 0 (transparent).
  static DWORD GetColour(const std::wstring& name);
  static ClassTable& GetClassTable();
  static std::wstring GetClassAttributes(const std::wstring& name);
  static DefaultColours& GetDefaultColours();

  static LanguageTable& GetLanguageTable();
  static std::wstring GetStringById(const std::wstring& key);

  // A layout or image name relative to the resource path, the name itself when
  // absolute.
  static std::wstring ResolveSkinPath(const std::wstring& name);
  // resource path + window folder + name for a relative name, the name itself
  // when absolute.
  static std::wstring ResolveImagePath(const std::wstring& windowFolder, const std::wstring& name);
  // The decoded image of a skin path, shared through the cache. Null when it
  // cannot be read or decoded.
  static std::shared_ptr<ImageInfo> GetImage(const std::wstring& path);
};

}  // namespace ui
