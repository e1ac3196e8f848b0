// A light handle to one element of a MarkupDocument. Valid while its document
// lives and is not reloaded.
#pragma once

#include <cstddef>
#include <string>

namespace ui {

class MarkupDocument;

class MarkupNode {
 public:
  MarkupNode() = default;
  MarkupNode(const MarkupDocument* document, size_t index);

  bool IsValid() const { return document_ != nullptr; }

  MarkupNode GetParent() const;
  MarkupNode GetChild() const;                     // first child element
  MarkupNode GetSibling() const;                   // next element at the same level
  MarkupNode GetChild(const wchar_t* name) const;  // first child element of that name
  bool HasChildren() const;

  const wchar_t* GetName() const;   // element name ("" for an invalid node)
  const wchar_t* GetValue() const;  // decoded text content before the first child

  // Attributes in document order, values decoded.
  size_t GetAttributeCount() const;
  const wchar_t* GetAttributeName(size_t index) const;     // "" when out of range
  const wchar_t* GetAttributeValueAt(size_t index) const;  // "" when out of range
  bool HasAttribute(const wchar_t* name) const;
  const wchar_t* GetAttributeValue(const wchar_t* name) const;  // "" when absent

 private:
  const MarkupDocument* document_ = nullptr;
  size_t index_ = 0;
};

}  // namespace ui
