#include "alarms/alarm_page_controls.h"

#include <utility>

namespace alarms {

AlarmPageControls::AlarmPageControls(std::function<void()> refresh)
    : refresh_(std::move(refresh)) {}

pages::ControlGroup& AlarmPageControls::Group(settings::AlarmGroup group) {
  return groups_.at(settings::AlarmGroupIndex(group));
}

void AlarmPageControls::Show(settings::AlarmGroup group) {
  Hide();
  controls_.Show();
  Group(group).Show();
  if (group == settings::AlarmGroup::kTemperature) names_.Show();
}

void AlarmPageControls::Hide() {
  controls_.Hide();
  for (pages::ControlGroup& group : groups_) group.Hide();
  names_.Hide();
}

void AlarmPageControls::HideStep(int dy, int barTop) {
  controls_.MoveAndHideBehind(dy, barTop);
  for (pages::ControlGroup& group : groups_) group.MoveAndHideBehind(dy, barTop);
  // The names never move: they go with the first step.
  names_.Hide();
}

void AlarmPageControls::ShowStep(int dy, int barTop) {
  // The groups wait for the refresh, which shows the selected one.
  controls_.MoveAndShowClear(dy, barTop);
  for (pages::ControlGroup& group : groups_) group.MoveBy(dy);
}

void AlarmPageControls::Carry(int dy) {
  controls_.MoveBy(dy);
  for (pages::ControlGroup& group : groups_) group.MoveBy(dy);
}

void AlarmPageControls::CompleteAfterTabs() {
  if (refresh_) refresh_();
}

}  // namespace alarms
