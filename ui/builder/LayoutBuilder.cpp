#include "ui/builder/LayoutBuilder.h"

#include <memory>

#include "ui/misc/AttributeList.h"
#include "ui/misc/AttributeValues.h"
#include "ui/core/Box.h"
#include "ui/widgets/Button.h"
#include "ui/widgets/CheckBox.h"
#include "ui/layouts/HBox.h"
#include "ui/widgets/Label.h"
#include "ui/skin/MarkupDocument.h"
#include "ui/widgets/Progress.h"
#include "ui/widgets/RichEdit.h"
#include "ui/skin/GlobalDefinitions.h"
#include "ui/skin/SkinFile.h"
#include "ui/layouts/VBox.h"
#include "ui/core/Window.h"

namespace ui {

namespace {

// Included layouts may include others; a cycle must end somewhere.
constexpr int kMaxIncludeDepth = 8;

bool IsSkippedElement(const std::wstring& name) {
  return name == L"Image" || name == L"Font" || name == L"Class" || name == L"TextColor";
}

}  // namespace

Control* LayoutBuilder::CreateControlByName(const std::wstring& name) {
  if (name == L"Control") return new Control();
  if (name == L"Box") return new Box();
  if (name == L"HBox") return new HBox();
  if (name == L"VBox") return new VBox();
  if (name == L"Label") return new Label();
  if (name == L"Button") return new Button();
  if (name == L"CheckBox") return new CheckBox();
  if (name == L"Progress") return new Progress();
  if (name == L"RichEdit") return new RichEdit();
  if (name == L"LabelBox") return new LabelBox();
  if (name == L"ButtonBox") return new ButtonBox();
  if (name == L"CheckBoxBox") return new CheckBoxBox();
  return nullptr;
}

bool LayoutBuilder::Load(const std::wstring& xml, MarkupDocument* document) {
  bool loaded = false;
  if (!xml.empty() && xml[0] == L'<') {
    loaded = document->Load(xml);
  } else {
    std::string bytes;
    if (!ReadSkinFile(UiGlobal::ResolveSkinPath(xml), &bytes)) {
      lastError_ = L"Error opening file";
      return false;
    }
    loaded = document->LoadFromUtf8(bytes.data(), bytes.size());
  }
  if (!loaded) {
    lastError_ = document->GetLastErrorMessage();
    if (lastError_.empty()) lastError_ = L"Error parsing document";
  }
  return loaded;
}

Control* LayoutBuilder::Create(const std::wstring& xml, const CreateControlHook& hook,
                               Window* window, Box* parent) {
  lastError_.clear();
  hook_ = hook;
  window_ = window;
  MarkupDocument document;
  if (!Load(xml, &document)) return nullptr;
  const MarkupNode root = document.GetRoot();
  if (!root.IsValid()) {
    lastError_ = L"Error parsing document";
    return nullptr;
  }
  const std::wstring rootName = root.GetName();
  if (rootName == L"Global") {
    LoadGlobalDefinitions(root, UiGlobal::GetDpiState(), &UiGlobal::GetDefaultColours(),
                          &UiGlobal::GetFontTable(), &UiGlobal::GetColourTable(),
                          &UiGlobal::GetClassTable());
    return nullptr;
  }
  if (rootName == L"Window") return BuildWindow(root, parent);

  // A document whose root is itself a control (an included fragment, or markup
  // in tests).
  bool failed = false;
  std::unique_ptr<Control> control(BuildControl(root, &failed));
  if (failed || !control) return nullptr;
  if (parent) {
    Control* built = control.get();
    if (!parent->Add(built)) return nullptr;
    control.release();
    return built;
  }
  return control.release();
}

Control* LayoutBuilder::BuildWindow(const MarkupNode& root, Box* parent) {
  if (window_) {
    for (size_t i = 0; i < root.GetAttributeCount(); ++i) {
      window_->ApplyWindowAttribute(root.GetAttributeName(i), root.GetAttributeValueAt(i));
    }
  }
  for (MarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
    const std::wstring name = node.GetName();
    if (name == L"Class") {
      const std::wstring className = node.GetAttributeValue(L"name");
      if (window_ && !className.empty()) {
        window_->AddClass(className, node.GetAttributeValue(L"value"));
      }
      continue;
    }
    if (IsSkippedElement(name)) continue;

    // The first control element is the root; anything after it is ignored.
    if (parent) {
      for (size_t i = 0; i < node.GetAttributeCount(); ++i) {
        parent->ApplyAttribute(node.GetAttributeName(i), node.GetAttributeValueAt(i));
      }
      Control* ignored = nullptr;
      if (!BuildChildren(node, parent, &ignored)) return nullptr;
      return parent;
    }
    bool failed = false;
    Control* control = BuildControl(node, &failed);
    if (failed) return nullptr;
    if (!control) continue;
    return control;
  }
  return nullptr;
}

Control* LayoutBuilder::BuildControl(const MarkupNode& node, bool* failed) {
  *failed = false;
  Control* control = MakeControl(node.GetName());
  if (!control) return nullptr;
  std::unique_ptr<Control> owned(control);
  control->SetWindow(window_, nullptr, false);
  for (size_t i = 0; i < node.GetAttributeCount(); ++i) {
    control->ApplyAttribute(node.GetAttributeName(i), node.GetAttributeValueAt(i));
  }
  if (node.HasChildren()) {
    if (!control->IsBox()) {
      lastError_ = L"Children under a control that is not a container";
      *failed = true;
      return nullptr;
    }
    Control* ignored = nullptr;
    if (!BuildChildren(node, static_cast<Box*>(control), &ignored)) {
      *failed = true;
      return nullptr;
    }
  }
  return owned.release();
}

Control* LayoutBuilder::MakeControl(const std::wstring& name) {
  if (Control* control = CreateControlByName(name)) return control;
  if (const CreateControlHook& global = UiGlobal::GetCreateControlHook()) {
    if (Control* control = global(name)) return control;
  }
  if (hook_) return hook_(name);
  return nullptr;
}

void LayoutBuilder::AttachEvents(const MarkupNode& node, Box* container, bool bubbled) {
  if (!container) return;
  const std::vector<std::wstring> types = SplitBySpace(node.GetAttributeValue(L"type"));
  const std::vector<std::wstring> receivers = SplitBySpace(node.GetAttributeValue(L"receiver"));
  const std::wstring attributes = node.GetAttributeValue(L"applyattribute");
  Window* window = window_;
  for (const std::wstring& type : types) {
    const EventCode code = EventCodeFromName(type);
    for (const std::wstring& receiver : receivers) {
      EventCallback handler = [window, receiver, attributes](const EventArgs&) {
        if (Control* target = window ? window->FindNamedControl(receiver) : nullptr)
          target->ApplyAttributeList(attributes);
        return true;
      };
      if (bubbled) {
        container->AddXmlBubbledHandler(code, handler);
      } else {
        container->AddXmlEventHandler(code, handler);
      }
    }
  }
}

bool LayoutBuilder::BuildChildren(const MarkupNode& node, Box* container, Control** first) {
  for (MarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
    const std::wstring name = child.GetName();
    if (IsSkippedElement(name)) continue;

    if (name == L"Include") {
      const int count =
          child.HasAttribute(L"count") ? ParseInt(child.GetAttributeValue(L"count")) : 1;
      const std::wstring source = child.GetAttributeValue(L"source");
      if (source.empty() || includeDepth_ >= kMaxIncludeDepth) continue;
      for (int i = 0; i < count; ++i) {
        LayoutBuilder nested;
        nested.includeDepth_ = includeDepth_ + 1;
        Control* built = nested.Create(source, hook_, window_, container);
        if (!built) break;
        if (!*first) *first = built;
      }
      continue;
    }

    if (name == L"Event" || name == L"BubbledEvent") {
      AttachEvents(child, container, name == L"BubbledEvent");
      continue;
    }
    bool failed = false;
    Control* control = BuildControl(child, &failed);
    if (failed) return false;
    if (!control) continue;  // unknown element: skipped with its subtree
    std::unique_ptr<Control> owned(control);
    if (container) {
      if (!container->Add(control)) continue;  // refused: |owned| deletes it
      owned.release();
    } else if (*first) {
      continue;  // only the first top-level control is kept
    } else {
      owned.release();
    }
    if (!*first) *first = control;
  }
  return true;
}

}  // namespace ui
