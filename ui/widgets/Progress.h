// A progress bar: a label whose filled part grows with the value, drawn with a
// fore colour and/or a fore image that is revealed (or stretched) over the
// filled part.
#pragma once

#include "ui/widgets/Label.h"

namespace ui {

class Progress : public LabelTemplate<Control> {
 public:
  Progress() = default;

  std::wstring GetType() const override { return L"Progress"; }
  long GetAccessibleRole() const override { return ROLE_SYSTEM_PROGRESSBAR; }
  // The filled share as a percentage, "45%".
  std::wstring GetAccessibleValue() const override;
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  bool IsHorizontal() const { return horizontal_; }
  void SetHorizontal(bool horizontal);
  int GetMinValue() const { return min_; }
  void SetMinValue(int value);
  int GetMaxValue() const { return max_; }
  void SetMaxValue(int value);
  double GetValue() const { return value_; }
  // Clamped into [min, max] only when painted.
  void SetValue(double value);
  bool IsStretchForeImage() const { return stretchFore_; }
  void SetStretchForeImage(bool stretch);
  void SetProgressImage(const std::wstring& imageString);
  void SetProgressColour(const std::wstring& colour);

  // The filled share of [min, max], 0 to 100.
  int GetPercent() const;
  // The filled part, relative to the control's top-left corner.
  RECT GetProgressPos() const;

 protected:
  void PaintStatusImage(IRenderContext* context) override;

 private:
  bool horizontal_ = true;
  int min_ = 0;
  int max_ = 100;
  double value_ = 0;
  bool stretchFore_ = false;
  Image progressImage_;
  std::wstring progressColour_;
};

}  // namespace ui
