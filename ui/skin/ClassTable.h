// Style classes: a class name -> an attribute string applied as if written on
// the element.
#pragma once

#include <map>
#include <string>

namespace ui {

class ClassTable {
 public:
  // A name added again replaces the earlier value.
  void Add(const std::wstring& name, const std::wstring& value) { classes_[name] = value; }
  // Empty when the class is unknown.
  std::wstring Get(const std::wstring& name) const {
    const auto it = classes_.find(name);
    return it == classes_.end() ? std::wstring() : it->second;
  }
  size_t GetCount() const { return classes_.size(); }
  void Clear() { classes_.clear(); }

 private:
  std::map<std::wstring, std::wstring> classes_;
};

}  // namespace ui
