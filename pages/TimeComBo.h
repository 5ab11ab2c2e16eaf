#pragma once

#include "ui/controls/UIComboBox.h"
#include "ui/controls/UILabel.h"
#include "ui/core/UIControl.h"

// One list of the time picker: numbers centred over the whole field, a drop list at least 45
// pixels wide with a thin scroll bar.
class TimeComboList : public UIComboBox {
 public:
  static constexpr int kMinDropWidth = 45;
  static constexpr int kDropScrollWidth = 4;

  // Entries "00" to count - 1, entry 0 selected.
  explicit TimeComboList(int count);

  RECT GetTextRect() const override;
  int GetDropWidth() const override;
  void CreateDropList() override;
};

// Hours, minutes and seconds as three drop lists in a row with two separators between them.
// In clock form the separators are ":" (5 pixels wide), in duration form "时" and "分" (15
// pixels). The lists fire "comboselectchanged" to whoever listens above; the picker handles
// none of their events. UI thread only; the picker owns its five children.
class TimeComBo : public UIControl {
 public:
  static constexpr int kClockSeparatorWidth = 5;
  static constexpr int kDurationSeparatorWidth = 15;

  TimeComBo();

  const char* GetClassName() const override { return "TimeComBo"; }
  // Gives the lists (w - 2 * separator) div 3 each, every child the picker's height.
  void Relayout() override;

  void SetDurationForm(bool duration);
  bool IsDurationForm() const;

  UIComboBox* hours() const { return hours_; }
  UIComboBox* minutes() const { return minutes_; }
  UIComboBox* seconds() const { return seconds_; }
  // Selects hour, minute and second; a value outside its list selects nothing in that list.
  void SetTime(int hour, int minute, int second);

 private:
  TimeComboList* hours_;
  UILabel* firstSeparator_;
  TimeComboList* minutes_;
  UILabel* secondSeparator_;
  TimeComboList* seconds_;
};

// Enters "TimeComBo" into the control factory.
void RegisterTimeComBo();
