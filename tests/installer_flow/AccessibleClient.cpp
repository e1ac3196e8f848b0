// A screen reader's view of a window, from another process, the way one asks for it:
// AccessibleObjectFromWindow, then AccessibleChildren down the tree.
//   accessible_client.exe tree CLASS          one JSON object per control, depth first
//   accessible_client.exe do CLASS INDEX      accDoDefaultAction on the control at that place
//                                             of the tree's listing (0 is the root)
// Output is UTF-8.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                        nullptr, nullptr);
  return out;
}

std::string Json(const std::wstring& text) {
  std::string out = "\"";
  for (const char c : Utf8(text)) {
    if (c == '"' || c == '\\') out += '\\';
    if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof(escape), "\\u%04x", c);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// A text property of the object itself, taken over from its BSTR.
template <typename Getter>
std::wstring Text(IAccessible* object, Getter getter) {
  VARIANT self;
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR text = nullptr;
  const HRESULT result = (object->*getter)(self, &text);
  std::wstring out = (SUCCEEDED(result) && text) ? std::wstring(text, ::SysStringLen(text)) : L"";
  if (text) ::SysFreeString(text);
  return out;
}

struct Node {
  IAccessible* object;  // owned
  int depth;
};

// Every object below |root| (root first), each with one reference the caller releases.
std::vector<Node> Walk(IAccessible* root) {
  std::vector<Node> nodes;
  root->AddRef();
  std::vector<Node> pending = {{root, 0}};
  while (!pending.empty()) {
    const Node node = pending.back();
    pending.pop_back();
    nodes.push_back(node);
    long count = 0;
    if (FAILED(node.object->get_accChildCount(&count)) || count <= 0) continue;
    std::vector<VARIANT> children(static_cast<size_t>(count));
    long got = 0;
    if (FAILED(::AccessibleChildren(node.object, 0, count, children.data(), &got))) continue;
    std::vector<Node> below;
    for (long i = 0; i < got; ++i) {
      if (children[i].vt == VT_DISPATCH && children[i].pdispVal) {
        IAccessible* child = nullptr;
        if (SUCCEEDED(children[i].pdispVal->QueryInterface(__uuidof(IAccessible),
                                                           reinterpret_cast<void**>(&child))))
          below.push_back({child, node.depth + 1});
      }
      ::VariantClear(&children[i]);
    }
    pending.insert(pending.end(), below.rbegin(), below.rend());
  }
  return nodes;
}

void Print(const Node& node) {
  VARIANT self;
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  const std::wstring name = Text(node.object, &IAccessible::get_accName);
  const std::wstring value = Text(node.object, &IAccessible::get_accValue);
  const std::wstring action = Text(node.object, &IAccessible::get_accDefaultAction);
  VARIANT role, state;
  ::VariantInit(&role);
  ::VariantInit(&state);
  node.object->get_accRole(self, &role);
  node.object->get_accState(self, &state);
  long left = 0, top = 0, width = 0, height = 0;
  node.object->accLocation(&left, &top, &width, &height, self);
  std::printf(
      "{\"depth\":%d,\"role\":%ld,\"name\":%s,\"value\":%s,\"state\":%ld,\"action\":%s,"
      "\"location\":[%ld,%ld,%ld,%ld]}\n",
      node.depth, role.vt == VT_I4 ? role.lVal : -1L, Json(name).c_str(), Json(value).c_str(),
      state.vt == VT_I4 ? state.lVal : -1L, Json(action).c_str(), left, top, width, height);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HWND window = ::FindWindowW(argv[2], nullptr);
  if (!window) return 3;
  IAccessible* root = nullptr;
  if (FAILED(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&root))) ||
      !root)
    return 4;
  const std::vector<Node> nodes = Walk(root);
  root->Release();
  const std::wstring command = argv[1];
  const long target = (command == L"do" && argc > 3) ? std::wcstol(argv[3], nullptr, 10) : -1;
  int status = command == L"tree" ? 0 : 5;
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (command == L"tree") Print(nodes[i]);
    if (static_cast<long>(i) == target) {
      VARIANT self;
      self.vt = VT_I4;
      self.lVal = CHILDID_SELF;
      const HRESULT result = nodes[i].object->accDoDefaultAction(self);
      std::printf("{\"done\":%s,\"hr\":\"%08lx\"}\n", SUCCEEDED(result) ? "true" : "false",
                  static_cast<unsigned long>(result));
      status = 0;
    }
    nodes[i].object->Release();
  }
  std::fflush(stdout);
  ::CoUninitialize();
  return status;
}
