// The small XML reader of the layout language: elements, attributes in double
// quotes, element text, comments and declarations skipped. The parser is
// iterative, so deep nesting cannot exhaust the stack; documents nested more
// than kMaxDepth levels are refused, because everything that walks the tree
// afterwards (the builder, layout and painting) recurses.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "ui/skin/MarkupNode.h"

namespace ui {

class MarkupDocument {
 public:
  static constexpr size_t kMaxDepth = 256;

  MarkupDocument() = default;
  MarkupDocument(const MarkupDocument&) = delete;
  MarkupDocument& operator=(const MarkupDocument&) = delete;

  // Parses markup text (up to its first NUL).
  bool Load(const std::wstring& markup);
  // Parses UTF-8 bytes (a skin file as ReadSkinFile gives it) up to the first
  // NUL; a leading byte-order mark is skipped.
  bool LoadFromUtf8(const char* data, size_t size);

  void Clear();
  bool IsValid() const { return !nodes_.empty(); }

  // The first top-level element (invalid node when nothing is loaded).
  MarkupNode GetRoot() const;

  // After a failed load: the message (at most 99 characters) and the text
  // where parsing stopped (at most 49 characters).
  const std::wstring& GetLastErrorMessage() const { return error_message_; }
  const std::wstring& GetLastErrorLocation() const { return error_location_; }

 private:
  friend class MarkupNode;

  static constexpr size_t kNone = static_cast<size_t>(-1);

  struct Node {
    size_t name = 0;  // offsets into strings_
    size_t value = 0;
    size_t parent = kNone;
    size_t child = kNone;
    size_t sibling = kNone;
    size_t last_child = kNone;  // used while parsing only
    size_t first_attribute = 0;
    size_t attribute_count = 0;
  };
  struct Attribute {
    size_t name = 0;
    size_t value = 0;
  };

  bool Parse(const wchar_t* text);
  bool Fail(const wchar_t* message, const wchar_t* where);
  size_t AddNode(size_t parent);
  // Appends [begin, end) to strings_, decoding entities and collapsing
  // space runs when |decode| is set; returns the offset of the copy.
  size_t AddString(const wchar_t* begin, const wchar_t* end, bool decode);

  const wchar_t* String(size_t offset) const { return strings_.data() + offset; }

  std::vector<Node> nodes_;
  std::vector<Attribute> attributes_;
  std::vector<wchar_t> strings_;  // every name, value and text, NUL-terminated
  std::wstring error_message_;
  std::wstring error_location_;
};

}  // namespace ui
