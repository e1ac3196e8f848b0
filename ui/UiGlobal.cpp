#include "ui/UiGlobal.h"

#include <commctrl.h>
#include <gdiplus.h>

#include <map>

#include "base/ScopedHandle.h"
#include "ui/Control.h"
#include "ui/IRenderContext.h"
#include "ui/IRenderFactory.h"
#include "ui/LanguageTable.h"
#include "ui/LayoutBuilder.h"
#include "ui/RenderFactory_GdiPlus.h"
#include "ui/SkinArchive.h"

namespace ui {

namespace {

// Skin files are small; anything larger is not a skin file.
constexpr LONGLONG kMaxSkinFileSize = 64LL * 1024 * 1024;

struct GlobalState {
  std::unique_ptr<IRenderFactory> renderFactory;
  std::unique_ptr<IRenderContext> measureContext;
  std::wstring resourcePath;
  CreateControlCallback createControlHook;
  DpiState dpi;
  FontTable fonts;
  ColourTable colours;
  ClassTable classes;
  std::wstring defaultTextColour = L"textdefaultcolor";
  std::wstring defaultDisabledTextColour = L"textdefaultdisablecolor";
  std::wstring defaultLinkColour;
  std::wstring defaultLinkHoverColour;
  std::wstring defaultSelectedColour;
  std::map<std::wstring, std::shared_ptr<ImageInfo>> images;
  LanguageTable language;
  ULONG_PTR gdiplusToken = 0;
};

GlobalState& State() {
  static GlobalState state;
  return state;
}

// Forward slashes become backslashes and runs of backslashes collapse to one.
std::wstring ToBackslashForm(const std::wstring& path) {
  std::wstring out;
  out.reserve(path.size());
  for (wchar_t ch : path) {
    if (ch == L'/') ch = L'\\';
    if (ch == L'\\' && !out.empty() && out.back() == L'\\') continue;
    out += ch;
  }
  return out;
}

bool ReadFileBytes(const std::wstring& path, std::string* bytes) {
  nbase::ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return false;
  LARGE_INTEGER size = {};
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxSkinFileSize) return false;
  bytes->assign(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (size.QuadPart > 0 &&
      (!::ReadFile(file.Get(), &(*bytes)[0], static_cast<DWORD>(size.QuadPart), &read, nullptr) ||
       read != static_cast<DWORD>(size.QuadPart))) {
    bytes->clear();
    return false;
  }
  return true;
}

}  // namespace

void UiGlobal::Startup(const std::wstring& resourceRoot, const CreateControlCallback& hook,
                       const std::wstring& themeFolder, const std::wstring& languageFolder) {
  GlobalState& state = State();
  SetRenderFactory(std::make_unique<RenderFactory_GdiPlus>());
  SetResourcePath(resourceRoot + themeFolder);
  state.createControlHook = hook;
  state.dpi.InitAwareness();
  state.dpi.InitScaleFromMonitor();
  LoadGlobalResources();
  LoadLanguage(resourceRoot + languageFolder + L"\\gdstrings.ini");
  if (state.gdiplusToken == 0) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
      state.gdiplusToken = token;
    }
  }
  ::InitCommonControls();
}

void UiGlobal::DeleteRenderFactory() {
  GlobalState& state = State();
  // Decoded images and the measuring context came from the factory.
  state.images.clear();
  state.measureContext.reset();
  state.renderFactory.reset();
}

void UiGlobal::DeleteAllFonts() { State().fonts.Clear(); }

void UiGlobal::ShutdownGdiplus() {
  GlobalState& state = State();
  if (state.gdiplusToken == 0) return;
  Gdiplus::GdiplusShutdown(state.gdiplusToken);
  state.gdiplusToken = 0;
}

IRenderFactory* UiGlobal::GetRenderFactory() { return State().renderFactory.get(); }

void UiGlobal::SetRenderFactory(std::unique_ptr<IRenderFactory> factory) {
  GlobalState& state = State();
  state.measureContext.reset();
  state.renderFactory = std::move(factory);
}

IRenderContext* UiGlobal::GetMeasureContext() {
  GlobalState& state = State();
  if (!state.measureContext && state.renderFactory) {
    state.measureContext = state.renderFactory->CreateRenderContext();
    if (state.measureContext) state.measureContext->Resize(1, 1);
  }
  return state.measureContext.get();
}

void UiGlobal::SetResourcePath(const std::wstring& path) {
  std::wstring value = path;
  if (!value.empty() && value.back() != L'\\' && value.back() != L'/') value += L'\\';
  State().resourcePath = value;
}

const std::wstring& UiGlobal::GetResourcePath() { return State().resourcePath; }

const CreateControlCallback& UiGlobal::GetCreateControlHook() { return State().createControlHook; }

DpiState& UiGlobal::GetDpiState() { return State().dpi; }

FontTable& UiGlobal::GetFontTable() { return State().fonts; }

HFONT UiGlobal::GetFont(int index) { return State().fonts.Get(index); }

ColourTable& UiGlobal::GetColourTable() { return State().colours; }

DWORD UiGlobal::GetColour(const std::wstring& name) { return State().colours.Get(name); }

ClassTable& UiGlobal::GetClassTable() { return State().classes; }

std::wstring UiGlobal::GetClassAttributes(const std::wstring& name) {
  return State().classes.Get(name);
}

const std::wstring& UiGlobal::GetDefaultTextColour() { return State().defaultTextColour; }
const std::wstring& UiGlobal::GetDefaultDisabledTextColour() {
  return State().defaultDisabledTextColour;
}
const std::wstring& UiGlobal::GetDefaultLinkColour() { return State().defaultLinkColour; }
const std::wstring& UiGlobal::GetDefaultLinkHoverColour() { return State().defaultLinkHoverColour; }
const std::wstring& UiGlobal::GetDefaultSelectedColour() { return State().defaultSelectedColour; }

void UiGlobal::SetDefaultColour(const std::wstring& attribute, const std::wstring& colourName) {
  GlobalState& state = State();
  if (attribute == L"disabledfontcolor") {
    state.defaultDisabledTextColour = colourName;
  } else if (attribute == L"defaultfontcolor") {
    state.defaultTextColour = colourName;
  } else if (attribute == L"linkfontcolor") {
    state.defaultLinkColour = colourName;
  } else if (attribute == L"linkhoverfontcolor") {
    state.defaultLinkHoverColour = colourName;
  } else if (attribute == L"selectedcolor") {
    state.defaultSelectedColour = colourName;
  }
}

LanguageTable& UiGlobal::GetLanguageTable() { return State().language; }

std::wstring UiGlobal::GetStringById(const std::wstring& key) {
  return State().language.GetStringById(key);
}

bool UiGlobal::IsAbsolutePath(const std::wstring& path) {
  if (path.size() >= 2 && path[1] == L':') return true;
  return !path.empty() && (path[0] == L'\\' || path[0] == L'/');
}

std::wstring UiGlobal::ResolveImagePath(const std::wstring& windowFolder,
                                        const std::wstring& name) {
  if (IsAbsolutePath(name)) return name;
  return GetResourcePath() + windowFolder + name;
}

std::shared_ptr<ImageInfo> UiGlobal::GetImage(const std::wstring& path) {
  GlobalState& state = State();
  const std::wstring key = ToBackslashForm(path);
  if (key.empty()) return nullptr;
  const auto it = state.images.find(key);
  if (it != state.images.end()) return it->second;
  if (!state.renderFactory) return nullptr;

  auto info = std::make_shared<ImageInfo>();
  info->path = key;
  bool decoded = false;
  if (IsArchiveOpen()) {
    std::string bytes;
    if (ReadArchiveMember(key, &bytes) && !bytes.empty()) {
      decoded = state.renderFactory->DecodeImage(bytes.data(), bytes.size(), &info->image);
    }
  } else {
    decoded = state.renderFactory->DecodeImageFile(key, &info->image);
  }
  if (!decoded || info->image.frames.empty() || info->image.width <= 0 || info->image.height <= 0) {
    return nullptr;
  }
  state.images[key] = info;
  return info;
}

void UiGlobal::ClearImageCache() { State().images.clear(); }

bool UiGlobal::IsArchiveOpen() { return GetSkinArchive() != nullptr; }

bool UiGlobal::ReadSkinFile(const std::wstring& path, std::string* bytes) {
  bytes->clear();
  if (path.empty()) return false;
  if (IsArchiveOpen()) return ReadArchiveMember(path, bytes);
  return ReadFileBytes(path, bytes);
}

void UiGlobal::LoadGlobalResources() {
  LayoutBuilder builder;
  Control* result = builder.Create(L"global.xml", CreateControlCallback(), nullptr);
  // global.xml holds no controls; a layout that does is not ours to keep.
  delete result;
}

void UiGlobal::LoadLanguage(const std::wstring& path) {
  GlobalState& state = State();
  state.language.Clear();
  if (IsArchiveOpen()) {
    std::string bytes;
    if (ReadArchiveMember(path, &bytes)) state.language.LoadFromMemory(bytes.data(), bytes.size());
  } else {
    state.language.LoadFromFile(path);
  }
}

}  // namespace ui
