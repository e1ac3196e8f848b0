// A container: owns its children and places them with its layout. A plain Box
// places each child on its own, so children overlap (later ones paint above
// earlier ones).
#pragma once

#include <memory>
#include <vector>

#include "ui/core/Control.h"
#include "ui/core/Layout.h"

namespace ui {

class Box : public Control {
 public:
  explicit Box(std::unique_ptr<Layout> layout = nullptr);
  ~Box() override;

  std::wstring GetType() const override { return L"Box"; }
  bool IsBox() const override { return true; }

  void SetWindow(ControlHost* host, Control* parent, bool init = true) override;
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  // Children (owned).
  int GetCount() const { return static_cast<int>(items_.size()); }
  Control* GetItemAt(int index) const;
  int GetItemIndex(const Control* control) const;
  // Takes ownership; false (the caller keeps it) when |control| is null.
  virtual bool Add(Control* control);
  virtual bool AddAt(Control* control, int index);
  // Removes and deletes the child.
  virtual bool Remove(Control* control);
  virtual void RemoveAll();

  Layout* GetLayout() const { return layout_.get(); }
  const RECT& GetPadding() const { return layout_->GetPadding(); }
  void SetPadding(RECT padding, bool scale = true);
  int GetChildMargin() const { return layout_->GetChildMargin(); }
  void SetChildMargin(int margin, bool scale = true);
  bool IsMouseChildEnabled() const { return mouseChild_; }
  void SetMouseChildEnabled(bool enabled) { mouseChild_ = enabled; }

  void AddBubbledHandler(EventCode code, const EventCallback& handler);
  void AddXmlBubbledHandler(EventCode code, const EventCallback& handler);

  void SetPos(RECT rc) override;
  SIZE EstimateSize(SIZE available) override;
  Control* FindControl(const POINT& pt, bool mouseEnabledOnly = true) override;
  void SetEnabled(bool enabled) override;
  void Paint(IRenderContext* context, const RECT& paintRect) override;
  // Paints the visible children that meet |paintRect|.
  virtual void PaintChild(IRenderContext* context, const RECT& paintRect);

 protected:
  bool RunBubbledHandlers(EventArgs& args, bool* result,
                          const std::weak_ptr<nbase::WeakFlag>& alive) override;

 private:
  std::unique_ptr<Layout> layout_;
  std::vector<Control*> items_;
  bool mouseChild_ = true;
  EventHandlerMap bubbledHandlers_;
  EventHandlerMap xmlBubbledHandlers_;
};

}  // namespace ui
