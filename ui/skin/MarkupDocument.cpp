#include "ui/skin/MarkupDocument.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "base/StringUtil.h"

namespace ui {

namespace {

constexpr size_t kMaxMessageLength = 99;
constexpr size_t kMaxLocationLength = 49;
// Text handed over in memory (archive members) is not size-checked by the
// reader; this only keeps the UTF-16 conversion within its int arithmetic.
constexpr size_t kMaxMemoryText = 256u * 1024u * 1024u;

bool IsBlank(wchar_t c) { return c != 0 && c <= 32; }

const wchar_t* SkipBlanks(const wchar_t* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

struct Entity {
  const wchar_t* name;
  size_t length;
  wchar_t character;
};

constexpr Entity kEntities[] = {
    {L"&amp;", 5, L'&'},  {L"&lt;", 4, L'<'},    {L"&gt;", 4, L'>'},
    {L"&quot;", 6, L'"'}, {L"&apos;", 6, L'\''},
};

// UTF-8 to UTF-16 up to the first NUL; malformed sequences become U+FFFD
// rather than failing the whole document.
std::wstring DecodeUtf8(const char* data, size_t size) {
  const void* nul = std::memchr(data, 0, size);
  if (nul != nullptr) size = static_cast<size_t>(static_cast<const char*>(nul) - data);
  return nbase::Utf8ToWideLenient(data, size);
}

}  // namespace

void MarkupDocument::Clear() {
  nodes_.clear();
  attributes_.clear();
  strings_.clear();
  error_message_.clear();
  error_location_.clear();
}

MarkupNode MarkupDocument::GetRoot() const {
  if (nodes_.empty()) return MarkupNode();
  return MarkupNode(this, 0);
}

bool MarkupDocument::Load(const std::wstring& markup) {
  Clear();
  return Parse(markup.c_str());
}

bool MarkupDocument::LoadFromUtf8(const char* data, size_t size) {
  Clear();
  if (data == nullptr) return Fail(L"Could not read file", L"");
  if (size > kMaxMemoryText) return Fail(L"File too large", L"");
  if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
    data += 3;
    size -= 3;
  }
  const std::wstring text = DecodeUtf8(data, size);
  return Parse(text.c_str());
}

bool MarkupDocument::Fail(const wchar_t* message, const wchar_t* where) {
  nodes_.clear();
  attributes_.clear();
  strings_.clear();
  error_message_.assign(message, std::min(std::wcslen(message), kMaxMessageLength));
  error_location_.assign(where, std::min(std::wcslen(where), kMaxLocationLength));
  return false;
}

size_t MarkupDocument::AddNode(size_t parent) {
  if (nodes_.size() == nodes_.capacity()) {
    nodes_.reserve(nodes_.capacity() + nodes_.capacity() / 2 + 500);
  }
  Node node;
  node.parent = parent;
  node.first_attribute = attributes_.size();
  nodes_.push_back(node);
  const size_t index = nodes_.size() - 1;
  if (parent != kNone) {
    Node& owner = nodes_[parent];
    if (owner.last_child == kNone) {
      owner.child = index;
    } else {
      nodes_[owner.last_child].sibling = index;
    }
    owner.last_child = index;
  }
  return index;
}

size_t MarkupDocument::AddString(const wchar_t* begin, const wchar_t* end, bool decode) {
  const size_t offset = strings_.size();
  for (const wchar_t* p = begin; p < end;) {
    if (decode && *p == L'&') {
      const Entity* found = nullptr;
      for (const Entity& entity : kEntities) {
        if (static_cast<size_t>(end - p) >= entity.length &&
            std::wcsncmp(p, entity.name, entity.length) == 0) {
          found = &entity;
          break;
        }
      }
      if (found != nullptr) {
        strings_.push_back(found->character);
        p += found->length;
        continue;
      }
    } else if (decode && *p == L' ' && (p == begin || !IsBlank(p[-1]))) {
      // A blank run that begins with a space becomes a single space.
      strings_.push_back(L' ');
      while (p < end && IsBlank(*p)) ++p;
      continue;
    }
    strings_.push_back(*p++);
  }
  strings_.push_back(L'\0');
  return offset;
}

bool MarkupDocument::Parse(const wchar_t* text) {
  strings_.push_back(L'\0');  // offset 0 is the empty string
  size_t current = kNone;     // element whose content is being read
  size_t depth = 0;
  size_t last_top = kNone;  // further top-level elements become its siblings
  const wchar_t* p = text;
  for (;;) {
    p = SkipBlanks(p);
    if (*p == 0) {
      if (current != kNone) return Fail(L"Expected end-tag start", p);
      if (nodes_.empty()) return Fail(L"Expected start tag", p);
      break;
    }
    if (*p != L'<') {
      return Fail(current == kNone ? L"Expected start tag" : L"Expected end-tag start", p);
    }
    const wchar_t* tag = p;
    ++p;
    if (*p == L'/') {
      // Closing tag of the current element.
      if (current == kNone) return Fail(L"Unmatched closing tag", tag);
      ++p;
      const wchar_t* name = p;
      while (*p != 0 && !IsBlank(*p) && *p != L'>') ++p;
      const wchar_t* expected = String(nodes_[current].name);
      const size_t length = static_cast<size_t>(p - name);
      if (std::wcslen(expected) != length || std::wcsncmp(expected, name, length) != 0) {
        return Fail(L"Unmatched closing tag", name);
      }
      p = SkipBlanks(p);
      if (*p != L'>') return Fail(L"Unmatched closing tag", p);
      ++p;
      nodes_[current].last_child = kNone;
      current = nodes_[current].parent;
      --depth;
      continue;
    }
    if (*p == L'!' || *p == L'?') {
      // Comments run to the next "->", declarations to the next "?>".
      const wchar_t* close = std::wcsstr(p + 1, *p == L'!' ? L"->" : L"?>");
      if (close == nullptr) {
        return Fail(current == kNone ? L"Expected start tag" : L"Expected end-tag start", tag);
      }
      p = close + 2;
      continue;
    }

    // Start tag.
    const wchar_t* name = p;
    while (*p != 0 && !IsBlank(*p) && *p != L'/' && *p != L'>') ++p;
    if (p == name) return Fail(L"Error parsing element name", name);
    if (depth + 1 > kMaxDepth) return Fail(L"Elements nested too deeply", tag);
    const size_t index = AddNode(current);
    if (current == kNone) {
      if (last_top != kNone) nodes_[last_top].sibling = index;
      last_top = index;
    }
    const size_t name_offset = AddString(name, p, false);
    nodes_[index].name = name_offset;

    for (;;) {
      p = SkipBlanks(p);
      if (*p == 0 || *p == L'/' || *p == L'>') break;
      const wchar_t* attribute = p;
      while (*p != 0 && !IsBlank(*p) && *p != L'=' && *p != L'/' && *p != L'>') ++p;
      const wchar_t* attribute_end = p;
      p = SkipBlanks(p);
      if (attribute_end == attribute || *p != L'=') {
        return Fail(L"Error while parsing attributes", attribute);
      }
      p = SkipBlanks(p + 1);
      if (*p != L'"') return Fail(L"Expected attribute value", p);
      const wchar_t* value = ++p;
      while (*p != 0 && *p != L'"') ++p;
      if (*p == 0) return Fail(L"Error while parsing attribute string", value);
      Attribute entry;
      entry.name = AddString(attribute, attribute_end, false);
      entry.value = AddString(value, p, true);
      attributes_.push_back(entry);
      ++nodes_[index].attribute_count;
      ++p;
    }
    if (p[0] == L'/' && p[1] == L'>') {
      p += 2;
      continue;
    }
    if (*p != L'>') return Fail(L"Expected start-tag closing", p);
    ++p;
    // Element text runs to the next tag.
    const wchar_t* content = p;
    while (*p != 0 && *p != L'<') ++p;
    const wchar_t* content_end = p;
    while (content < content_end && IsBlank(*content)) ++content;
    while (content_end > content && IsBlank(content_end[-1])) --content_end;
    if (content != content_end) nodes_[index].value = AddString(content, content_end, true);
    current = index;
    ++depth;
  }
  for (Node& node : nodes_) node.last_child = kNone;
  return true;
}

}  // namespace ui
