#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <array>
#include <functional>

// The four pictures of a skinned button: normal (up), hover (over), held (down) and
// disabled (dis), each drawn over the colour it will sit on with magenta outside its shape.
namespace skingen {

enum class ButtonState { Up, Over, Down, Dis };
inline constexpr std::array<ButtonState, 4> kButtonStates = {ButtonState::Up, ButtonState::Over,
                                                             ButtonState::Down, ButtonState::Dis};
// The file name ending of each state: "_up", "_over", "_down", "_dis".
const char* StateSuffix(ButtonState state);

// What the disabled picture stands for on this button.
enum class DisLook {
  Disabled,  // greyed
  Alarm,     // the alarm look of a rail tile or the monitor tab (red)
};

struct ButtonLook {
  QColor surface;  // the colour under the button
  double radius = 6;
  DisLook dis = DisLook::Disabled;
};

// Draws a button's face (text, icon) in `inner`, in the ink of its state.
using ButtonFace = std::function<void(QPainter& painter, const QRect& inner, ButtonState state,
                                      const QColor& ink)>;

QImage ButtonPicture(QSize size, const ButtonLook& look, ButtonState state, const ButtonFace& face);

// The selected look of a control bar tab: a lit face with an accent bar along its bottom.
QImage SelectedTabPicture(QSize size, const QColor& surface, const ButtonFace& face);

// The alarm switch: a small toggle, on (up, over, down) or off (dis).
QImage SwitchPicture(QSize size, const QColor& surface, ButtonState state);

}  // namespace skingen
