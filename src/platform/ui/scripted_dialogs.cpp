#include "platform/ui/scripted_dialogs.h"

namespace ui {

void ScriptedDialogs::ShowMessage(std::string_view text) {
  shown_.push_back(Shown{Kind::Message, std::string(text)});
}

bool ScriptedDialogs::AskYesNo(std::string_view text) {
  shown_.push_back(Shown{Kind::Question, std::string(text)});
  if (answers_.empty()) return defaultAnswer_;
  const bool answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void ScriptedDialogs::ShowError(std::string_view text) {
  shown_.push_back(Shown{Kind::Error, std::string(text)});
}

std::vector<std::string> ScriptedDialogs::Texts(Kind kind) const {
  std::vector<std::string> texts;
  for (const Shown& s : shown_) {
    if (s.kind == kind) texts.push_back(s.text);
  }
  return texts;
}

}  // namespace ui
