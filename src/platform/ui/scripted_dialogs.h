#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/ui/dialogs.h"

namespace ui {

// Dialogs of headless runs: questions are answered from a script, and every text shown is
// recorded in order.
class ScriptedDialogs : public Dialogs {
 public:
  enum class Kind { Message, Question, Error };
  struct Shown {
    Kind kind;
    std::string text;
    friend bool operator==(const Shown&, const Shown&) = default;
  };

  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  void ShowError(std::string_view text) override;

  // Answers for the coming questions, in order (true: Yes).
  void QueueAnswer(bool yes) { answers_.push_back(yes); }
  // The answer once the script is used up; No unless set.
  void SetDefaultAnswer(bool yes) { defaultAnswer_ = yes; }

  const std::vector<Shown>& History() const { return shown_; }
  // The texts shown of one kind, in order.
  std::vector<std::string> Texts(Kind kind) const;

 private:
  std::deque<bool> answers_;
  bool defaultAnswer_ = false;
  std::vector<Shown> shown_;
};

}  // namespace ui
