#include "ui/skin/MarkupNode.h"

#include <cwchar>

#include "ui/skin/MarkupDocument.h"

namespace ui {

MarkupNode::MarkupNode(const MarkupDocument* document, size_t index)
    : document_(document), index_(index) {}

MarkupNode MarkupNode::GetParent() const {
  if (!IsValid()) return MarkupNode();
  const size_t parent = document_->nodes_[index_].parent;
  return parent == MarkupDocument::kNone ? MarkupNode() : MarkupNode(document_, parent);
}

MarkupNode MarkupNode::GetChild() const {
  if (!IsValid()) return MarkupNode();
  const size_t child = document_->nodes_[index_].child;
  return child == MarkupDocument::kNone ? MarkupNode() : MarkupNode(document_, child);
}

MarkupNode MarkupNode::GetSibling() const {
  if (!IsValid()) return MarkupNode();
  const size_t sibling = document_->nodes_[index_].sibling;
  return sibling == MarkupDocument::kNone ? MarkupNode() : MarkupNode(document_, sibling);
}

MarkupNode MarkupNode::GetChild(const wchar_t* name) const {
  for (MarkupNode child = GetChild(); child.IsValid(); child = child.GetSibling()) {
    if (std::wcscmp(child.GetName(), name) == 0) return child;
  }
  return MarkupNode();
}

bool MarkupNode::HasChildren() const {
  return IsValid() && document_->nodes_[index_].child != MarkupDocument::kNone;
}

const wchar_t* MarkupNode::GetName() const {
  return IsValid() ? document_->String(document_->nodes_[index_].name) : L"";
}

const wchar_t* MarkupNode::GetValue() const {
  return IsValid() ? document_->String(document_->nodes_[index_].value) : L"";
}

size_t MarkupNode::GetAttributeCount() const {
  return IsValid() ? document_->nodes_[index_].attribute_count : 0;
}

const wchar_t* MarkupNode::GetAttributeName(size_t index) const {
  if (index >= GetAttributeCount()) return L"";
  const size_t first = document_->nodes_[index_].first_attribute;
  return document_->String(document_->attributes_[first + index].name);
}

const wchar_t* MarkupNode::GetAttributeValueAt(size_t index) const {
  if (index >= GetAttributeCount()) return L"";
  const size_t first = document_->nodes_[index_].first_attribute;
  return document_->String(document_->attributes_[first + index].value);
}

bool MarkupNode::HasAttribute(const wchar_t* name) const {
  const size_t count = GetAttributeCount();
  for (size_t i = 0; i < count; ++i) {
    if (std::wcscmp(GetAttributeName(i), name) == 0) return true;
  }
  return false;
}

const wchar_t* MarkupNode::GetAttributeValue(const wchar_t* name) const {
  const size_t count = GetAttributeCount();
  for (size_t i = 0; i < count; ++i) {
    if (std::wcscmp(GetAttributeName(i), name) == 0) return GetAttributeValueAt(i);
  }
  return L"";
}

}  // namespace ui
