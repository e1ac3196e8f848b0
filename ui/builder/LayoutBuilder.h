// Builds a control tree from a layout file (or markup text); a Global document
// fills the shared fonts, colours and classes instead.
#pragma once

#include <string>

#include "ui/core/UiGlobal.h"
#include "ui/skin/MarkupNode.h"

namespace ui {

class Box;
class Control;
class Window;

class LayoutBuilder {
 public:
  LayoutBuilder() = default;
  LayoutBuilder(const LayoutBuilder&) = delete;
  LayoutBuilder& operator=(const LayoutBuilder&) = delete;

  // |xml| is a file name relative to the resource path, or markup text
  // beginning with "<". Returns the first control made from the document's root
  // (owned by the caller), |parent| when the layout was built into it, or null:
  // for global.xml, and on any file or parse error (GetLastError() then tells
  // why).
  Control* Create(const std::wstring& xml, const CreateControlHook& hook, Window* window,
                  Box* parent = nullptr);

  const std::wstring& GetLastError() const { return lastError_; }

  // Makes the built-in control kind of an element name; null for names that are
  // not.
  static Control* CreateControlByName(const std::wstring& name);

 private:
  bool Load(const std::wstring& xml, class MarkupDocument* document);
  Control* BuildWindow(const MarkupNode& root, Box* parent);
  // Builds the child elements of |node| into |container| (may be null at the
  // top level). Returns false when the build must fail; *first receives the
  // first top-level control.
  bool BuildChildren(const MarkupNode& node, Box* container, Control** first);
  // Makes the control of one element with its attributes and subtree; null for
  // an unknown element (skipped) or a failure (*failed set).
  Control* BuildControl(const MarkupNode& node, bool* failed);
  Control* MakeControl(const std::wstring& name);
  void AttachEvents(const MarkupNode& node, Box* container, bool bubbled);

  CreateControlHook hook_;
  Window* window_ = nullptr;
  std::wstring lastError_;
  int includeDepth_ = 0;
};

}  // namespace ui
