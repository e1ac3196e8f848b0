#include "ui/core/UiGlobal.h"

#include <map>

#include "ui/draw/IRenderContext.h"
#include "ui/draw/IRenderFactory.h"
#include "ui/skin/SkinFile.h"

namespace ui {

namespace {

struct GlobalState {
  std::unique_ptr<IRenderFactory> renderFactory;
  std::unique_ptr<IRenderContext> measureContext;
  std::wstring resourcePath;
  CreateControlHook createControlHook;
  int themeDensity = 100;
  int uiThreadId = 0;
  DpiState dpi;
  FontTable fonts;
  ColourTable colours;
  ClassTable classes;
  DefaultColours defaultColours;
  std::map<std::wstring, std::shared_ptr<ImageInfo>> images;
  LanguageTable language;
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

bool IsAbsolutePath(const std::wstring& path) {
  if (path.size() >= 2 && path[1] == L':') return true;
  return !path.empty() && (path[0] == L'\\' || path[0] == L'/');
}

}  // namespace

void UiGlobal::DeleteRenderFactory() {
  GlobalState& state = State();
  // Decoded images and the measuring context came from the factory.
  state.images.clear();
  state.measureContext.reset();
  state.renderFactory.reset();
}

void UiGlobal::DeleteAllFonts() { State().fonts.Clear(); }

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

void UiGlobal::SetCreateControlHook(const CreateControlHook& hook) {
  State().createControlHook = hook;
}

const CreateControlHook& UiGlobal::GetCreateControlHook() { return State().createControlHook; }

void UiGlobal::SetThemeDensity(int percent) { State().themeDensity = percent > 0 ? percent : 100; }

int UiGlobal::GetThemeDensity() { return State().themeDensity; }

void UiGlobal::SetUiThreadId(int id) { State().uiThreadId = id; }

int UiGlobal::GetUiThreadId() { return State().uiThreadId; }

DpiState& UiGlobal::GetDpiState() { return State().dpi; }

FontTable& UiGlobal::GetFontTable() { return State().fonts; }

HFONT UiGlobal::GetFont(int index) { return State().fonts.Get(index); }

ColourTable& UiGlobal::GetColourTable() { return State().colours; }

DWORD UiGlobal::GetColour(const std::wstring& name) { return State().colours.Get(name); }

ClassTable& UiGlobal::GetClassTable() { return State().classes; }

std::wstring UiGlobal::GetClassAttributes(const std::wstring& name) {
  return State().classes.Get(name);
}

DefaultColours& UiGlobal::GetDefaultColours() { return State().defaultColours; }

LanguageTable& UiGlobal::GetLanguageTable() { return State().language; }

std::wstring UiGlobal::GetStringById(const std::wstring& key) {
  return State().language.GetStringById(key);
}

std::wstring UiGlobal::ResolveSkinPath(const std::wstring& name) {
  return IsAbsolutePath(name) ? name : GetResourcePath() + name;
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
  std::string bytes;
  if (!ReadSkinFile(key, &bytes) || bytes.empty() ||
      !state.renderFactory->DecodeImage(bytes.data(), bytes.size(), &info->image) ||
      info->image.frames.empty() || info->image.width <= 0 || info->image.height <= 0) {
    return nullptr;
  }
  state.images[key] = info;
  return info;
}

}  // namespace ui
