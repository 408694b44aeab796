#pragma once

#include <QImage>

#include "layout_table.h"
#include "texts.h"

// The backgrounds of the pages and windows, drawn around the places of the layout table.
namespace skingen {

QImage ManagerPicture(const Language& lang, const SkinTable& table);

enum class ConfigView { FanCelsius, FanFahrenheit, Voltage };
QImage ConfigPicture(const Language& lang, const SkinTable& table, ConfigView view);

enum class AlarmGroup { Watt, Voltage, Current, FanSpeed, Temperature };
// `table` must be of the rating's form (450 W or not).
QImage AlarmPicture(const Language& lang, const SkinTable& table, AlarmGroup group, int rating,
                    bool celsius);

QImage VoltageWindowPicture(const Language& lang, const SkinTable& table, int rating);
QImage CurrentWindowPicture(const Language& lang, const SkinTable& table, int rating);

enum class BarLook { LedOff, LedOn, LedOver };
QImage CtrlBarPicture(BarLook look);
// The collapse arrow, 9 x 9, see-through around the chevron.
QImage ModeArrow(bool up);

}  // namespace skingen
