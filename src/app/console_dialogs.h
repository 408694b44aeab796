#pragma once

#include <ostream>
#include <string_view>

#include "platform/ui/dialogs.h"

namespace app {

// The dialogs of an unattended run (a screenshot): every text goes to the stream and every
// question is answered No, so nothing waits for a user who is not there.
class ConsoleDialogs : public ui::Dialogs {
 public:
  explicit ConsoleDialogs(std::ostream& out) : out_(out) {}
  void ShowMessage(std::string_view text) override { out_ << text << "\n"; }
  bool AskYesNo(std::string_view text) override {
    out_ << text << " [No]\n";
    return false;
  }
  void ShowError(std::string_view text) override { out_ << "error: " << text << "\n"; }

 private:
  std::ostream& out_;
};

}  // namespace app
