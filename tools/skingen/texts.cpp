#include "texts.h"

namespace skingen {
namespace {

// One row per text, one column per language in osLang order.
struct Row {
  Text text;
  const char* words[8];
};

const Row kRows[] = {
    {Text::Monitor,
     {"Monitor", "Moniteur", "Monitor", "モニター", "Монитор", "监控", "Monitor", "監控"}},
    {Text::Settings,
     {"Settings", "Réglages", "Einstellungen", "設定", "Настройки", "设置", "Ajustes", "設定"}},
    {Text::Alarms,
     {"Alarms", "Alarmes", "Alarme", "アラーム", "Тревоги", "警报", "Alarmas", "警報"}},
    {Text::Power,
     {"Power", "Puissance", "Leistung", "電力", "Мощность", "功率", "Potencia", "功率"}},
    {Text::Total, {"Total", "Totale", "Gesamt", "合計", "Всего", "总计", "Total", "總計"}},
    {Text::Peak, {"Peak", "Crête", "Spitze", "ピーク", "Пик", "峰值", "Pico", "峰值"}},
    {Text::Clear, {"Clear", "Effacer", "Löschen", "クリア", "Сброс", "清除", "Borrar", "清除"}},
    {Text::Voltage,
     {"Voltage", "Tension", "Spannung", "電圧", "Напряжение", "电压", "Tensión", "電壓"}},
    {Text::Current, {"Current", "Courant", "Strom", "電流", "Ток", "电流", "Corriente", "電流"}},
    {Text::All, {"All", "Tout", "Alle", "全て", "Все", "全部", "Todo", "全部"}},
    {Text::PsuFan,
     {"PSU fan", "Ventil. alim.", "Netzteillüfter", "電源ファン", "Вент. БП", "电源风扇",
      "Vent. fuente", "電源風扇"}},
    {Text::SystemFan,
     {"System fan", "Ventil. système", "Systemlüfter", "システムファン", "Вент. системы",
      "系统风扇", "Vent. sistema", "系統風扇"}},
    {Text::PsuTemp,
     {"PSU temperature", "Temp. alim.", "Netzteil-Temp.", "電源温度", "Темп. БП", "电源温度",
      "Temp. fuente", "電源溫度"}},
    {Text::Unit,
     {"Temperature unit", "Unité de température", "Temperatureinheit", "温度単位",
      "Единицы температуры", "温度单位", "Unidad de temperatura", "溫度單位"}},
    {Text::Celsius,
     {"Celsius", "Celsius", "Celsius", "摂氏", "Цельсий", "摄氏", "Celsius", "攝氏"}},
    {Text::Fahrenheit,
     {"Fahrenheit", "Fahrenheit", "Fahrenheit", "華氏", "Фаренгейт", "华氏", "Fahrenheit", "華氏"}},
    {Text::Sensors,
     {"Sensors", "Capteurs", "Sensoren", "センサー", "Датчики", "传感器", "Sensores", "感測器"}},
    {Text::FanSpeed,
     {"Fan speed", "Ventilation", "Lüfter", "ファン速度", "Вентиляторы", "风扇转速", "Ventiladores",
      "風扇轉速"}},
    {Text::Fan,
     {"Fan", "Ventilateur", "Lüfter", "ファン", "Вентилятор", "风扇", "Ventilador", "風扇"}},
    {Text::Mode, {"Mode", "Mode", "Modus", "モード", "Режим", "模式", "Modo", "模式"}},
    {Text::Performance,
     {"Performance", "Performance", "Leistung", "パフォーマンス", "Мощный", "性能", "Rendimiento",
      "效能"}},
    {Text::Normal, {"Normal", "Normal", "Normal", "ノーマル", "Обычный", "标准", "Normal", "標準"}},
    {Text::Silent,
     {"Silent", "Silencieux", "Leise", "静音", "Тихий", "静音", "Silencioso", "靜音"}},
    {Text::Manual, {"Manual", "Manuel", "Manuell", "手動", "Ручной", "手动", "Manual", "手動"}},
    {Text::FanCurve,
     {"Fan curve", "Courbe du ventilateur", "Lüfterkurve", "ファン曲線", "Кривая вентилятора",
      "风扇曲线", "Curva del ventilador", "風扇曲線"}},
    {Text::StartVoltage,
     {"Start voltage", "Tension de départ", "Startspannung", "開始電圧", "Начальное напряжение",
      "起始电压", "Tensión inicial", "起始電壓"}},
    {Text::RiseTemp,
     {"Rise temperature", "Temp. de montée", "Anstiegstemperatur", "上昇開始温度", "Темп. разгона",
      "升速温度", "Temp. de subida", "升速溫度"}},
    {Text::Sensor,
     {"Sensor", "Capteur", "Sensor", "センサー", "Датчик", "传感器", "Sensor", "感測器"}},
    {Text::Ok, {"OK", "OK", "OK", "OK", "OK", "确定", "Aceptar", "確定"}},
    {Text::Cancel,
     {"Cancel", "Annuler", "Abbrechen", "キャンセル", "Отмена", "取消", "Cancelar", "取消"}},
    {Text::VoltageTrim,
     {"Output voltage trim", "Réglage des tensions", "Ausgangsspannungen", "出力電圧の調整",
      "Подстройка напряжений", "输出电压微调", "Ajuste de tensiones", "輸出電壓微調"}},
    {Text::Target, {"Target", "Consigne", "Sollwert", "目標", "Цель", "目标", "Objetivo", "目標"}},
    {Text::TrimHint,
     {"Drag a marker to a target, then press OK.", "Glissez un curseur sur la consigne, puis OK.",
      "Regler auf den Sollwert ziehen, dann OK.", "マーカーを目標値までドラッグし、OKを押します。",
      "Перетащите маркер к цели и нажмите OK.", "将标记拖到目标值，然后按确定。",
      "Arrastre un marcador al objetivo y pulse Aceptar.", "將標記拖曳到目標值，然後按確定。"}},
    {Text::AlarmsOn,
     {"Alarms on", "Alarmes actives", "Alarme an", "アラーム オン", "Тревоги вкл.", "警报开启",
      "Alarmas activas", "警報開啟"}},
    {Text::AlarmsOff,
     {"Alarms off", "Alarmes coupées", "Alarme aus", "アラーム オフ", "Тревоги выкл.", "警报关闭",
      "Alarmas apagadas", "警報關閉"}},
    {Text::PowerLimit,
     {"Power limit", "Limite de puissance", "Leistungsgrenze", "電力の上限", "Предел мощности",
      "功率上限", "Límite de potencia", "功率上限"}},
    {Text::VoltageTolerance,
     {"Voltage tolerance", "Tolérance de tension", "Spannungstoleranz", "電圧の許容差",
      "Допуск напряжения", "电压容差", "Tolerancia de tensión", "電壓容差"}},
    {Text::CurrentLimit,
     {"Current limits", "Limites de courant", "Stromgrenzen", "電流の上限", "Пределы тока",
      "电流上限", "Límites de corriente", "電流上限"}},
    {Text::MinimumSpeed,
     {"Minimum fan speed", "Vitesse minimale", "Mindestdrehzahl", "最低回転数", "Мин. обороты",
      "最低转速", "Velocidad mínima", "最低轉速"}},
    {Text::TemperatureLimit,
     {"Temperature limits", "Limites de température", "Temperaturgrenzen", "温度の上限",
      "Пределы температуры", "温度上限", "Límites de temperatura", "溫度上限"}},
    {Text::Temperature,
     {"Temperature", "Température", "Temperatur", "温度", "Температура", "温度", "Temperatura",
      "溫度"}},
    {Text::OutputVoltages,
     {"Output voltages", "Tensions de sortie", "Ausgangsspannungen", "出力電圧",
      "Выходные напряжения", "输出电压", "Tensiones de salida", "輸出電壓"}},
    {Text::OutputCurrents,
     {"Output currents", "Courants de sortie", "Ausgangsströme", "出力電流", "Выходные токи",
      "输出电流", "Corrientes de salida", "輸出電流"}},
    {Text::CurveHint,
     {"The fan holds its start voltage up to the rise temperature, then speeds up to full.",
      "Le ventilateur garde sa tension de départ jusqu'à la température de montée, puis accélère.",
      "Der Lüfter hält die Startspannung bis zur Anstiegstemperatur und dreht dann hoch.",
      "ファンは上昇開始温度まで開始電圧で回り、その後全速まで上がります。",
      "Вентилятор держит начальное напряжение до температуры разгона, затем ускоряется.",
      "风扇在升速温度前保持起始电压，之后逐步加速至全速。",
      "El ventilador mantiene la tensión inicial hasta la temperatura de subida y luego acelera.",
      "風扇在升速溫度前保持起始電壓，之後逐步加速至全速。"}},
    {Text::RangeLegend,
     {"Green: within range   Red: beyond range", "Vert : dans la plage   Rouge : hors plage",
      "Grün: im Bereich   Rot: außerhalb", "緑：範囲内　赤：範囲外",
      "Зелёный: в пределах   Красный: вне", "绿色：范围内　红色：超出范围",
      "Verde: dentro del rango   Rojo: fuera", "綠色：範圍內　紅色：超出範圍"}},
    {Text::NotAt450,
     {"not on 450 W", "absent à 450 W", "nicht bei 450 W", "450 W では無し", "нет у 450 Вт",
      "450 W 无此路", "no en 450 W", "450 W 無此路"}},
};

struct Face {
  const char* folder;
  const char* family;
  bool upperCaseTitles;
};
const Face kFaces[8] = {
    {"Eng", "Noto Sans", true}, {"Frn", "Noto Sans", true},
    {"Grm", "Noto Sans", true}, {"Jpn", "Noto Sans CJK JP", false},
    {"Rsa", "Noto Sans", true}, {"Cna", "Noto Sans CJK SC", false},
    {"Spn", "Noto Sans", true}, {"Twn", "Noto Sans CJK TC", false},
};

}  // namespace

const std::vector<Language>& Languages() {
  static const std::vector<Language> languages = [] {
    std::vector<Language> all;
    for (int i = 0; i < 8; ++i) {
      Language language{kFaces[i].folder, kFaces[i].family, kFaces[i].upperCaseTitles, {}};
      for (const Row& row : kRows) {
        language.texts[static_cast<std::size_t>(row.text)] = QString::fromUtf8(row.words[i]);
      }
      all.push_back(language);
    }
    return all;
  }();
  return languages;
}

}  // namespace skingen
