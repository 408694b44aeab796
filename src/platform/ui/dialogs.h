#pragma once

#include <string_view>

namespace ui {

// The program's modal message boxes. UI thread only; each call returns when the user answered.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A message with an OK button.
  virtual void ShowMessage(std::string_view text) = 0;
  // A question without icon, with Yes and No buttons; true for Yes.
  virtual bool AskYesNo(std::string_view text) = 0;
  // The error box that shows an exception that escaped an event handler.
  virtual void ShowError(std::string_view text) = 0;
};

}  // namespace ui
