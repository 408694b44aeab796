#pragma once

#include <cstddef>
#include <cstdint>
#include <stop_token>
#include <string>

#include "device/calibration_table.h"
#include "device/conversions.h"
#include "device/protocol.h"
#include "device/reading_set.h"
#include "device/sleeper.h"
#include "platform/hid/hid_handle.h"

namespace device {

// The three outputs that can be trimmed.
enum class TrimRail { V12, V5, V33 };

// Why a trim did not step, or stopped before the target: each keeps the output from being
// stepped on a reading that cannot be right.
enum class TrimStop {
  None,
  TargetOutOfRange,      // the target lies beyond 10 % of the rail's nominal: no step
  ReadingOutOfRange,     // the rail's reading lies beyond 10 % of its nominal: no step
  ReferenceImplausible,  // the reference is not within 2.5 V to 4.5 V: no step
  Stalled,               // three steps in a row left the reading unchanged
};

// What one TrimOutput did.
struct TrimResult {
  int steps = 0;               // step commands sent
  bool reachedTarget = false;  // stopped at the first step that reached or crossed the target
  bool feedbackLost = false;   // stopped because the voltage read after a step failed
  TrimStop stop = TrimStop::None;
  float startReading = 0.0f;  // the feedback reading before the first step
  float lastReading = 0.0f;   // the feedback reading after the last good read
  float reference = 0.0f;     // the reference the readings were scaled with
};

// The rail as people name it ("12V", "5V", "3.3V") and its nominal volts.
const char* RailName(TrimRail rail);
float RailNominal(TrimRail rail);
// Whether a target lies within 10 % of the rail's nominal, the most any trim may move it.
bool TrimTargetAllowed(TrimRail rail, float target);
// A sentence naming the reading that stopped a trim ("" when nothing stopped it early).
std::string TrimStopMessage(TrimRail rail, float target, const TrimResult& result);

// The two halves of ReadVoltages.
struct VoltageReplies {
  bool first = false;   // 0x21: 5V, 3.3V, 5Vsb, 12V4
  bool second = false;  // 0x22: 12V1, 12V2, 12V3, -12V
};

// The exchanges with the PSU controller: every exchange first throws away input already
// waiting on the read handle, then writes its request through the write handle and reads
// its reply through the read handle, each followed by a 2 ms pause. Readings and
// calibration live with the caller (the worker keeps its own across cycles, the start-up
// probe throwaway ones); a failed group leaves its fields as they were.
// The caller holds the access mutex around every group. Once `giveUp` is requested, no
// exchange starts any more: each fails at once, so a caller that must end (the program
// closing) waits out only the read under way, not a time-out for every request left.
class MonitorProtocol {
 public:
  MonitorProtocol(platform::HidHandle& writeHandle, platform::HidHandle& readHandle,
                  Sleeper& sleeper, ReadingSet& readings, CalibrationTable& calibration,
                  std::stop_token giveUp = {});

  // One write of the whole report, then the pause; a write that transfers nothing is not
  // retried. Returns the bytes transferred.
  std::size_t WriteReport(const OutputReport& report);
  // One read into a 64-byte buffer, then the pause (also after a failure). Good only when
  // exactly 9 bytes arrived; the 9 bytes are then in `reply`.
  bool ReadReport(InputReport& reply);

  // Reads and throws away the input reports already waiting on the read handle (at most
  // kMaxDiscardedReports), without waiting. Returns how many there were. Replies carry no
  // tag: whatever waits before a request was meant for an earlier one, or for another holder
  // of the device, and would otherwise be taken for this request's answer.
  int DiscardWaitingInput();

  // The query groups; each is true when its reply was good.
  bool ReadReference();
  bool ReadCalibration();  // 0x12 then 0x13 (asked even when 0x12 failed); true if both good
  bool ReadPowerRating(RatingMapping mapping);  // PowerRating is 0 until a good reply decides
  bool ReadVoltages();                          // 0x21 then 0x22; the result of 0x22
  VoltageReplies ReadVoltageReplies();          // the same exchanges, both results
  bool ReadCurrents();
  bool ReadFans();
  bool ReadSensorTemps();
  bool ReadPsuTemp();

  // Steps one output toward `target` (exact volts) until the feedback reading reaches or
  // crosses it, at most 200 steps, never reversing direction. Stops at once when the
  // voltage read after a step fails, and after three steps in a row that left the reading
  // unchanged: the output is never stepped blind. Takes no step at all unless the target
  // and the reading held lie within 10 % of nominal and the reference is plausible.
  TrimResult TrimOutput(TrimRail rail, float target);

  // Output commands; their replies are read and discarded. Each returns whether its request
  // reached the device whole: a write that transferred less (the device gone, or the handle
  // refused) is not retried, and then the setting did not change. The reply proves nothing
  // more, so a missing one is no failure.
  bool SetPsuFanCurve(float startVolts, std::int32_t temperature);
  bool SetSystemFanCurve(float startVolts, std::int32_t temperature, std::int32_t sensorCode);
  bool SetLed(bool on);

  const ReadingSet& Readings() const { return readings_; }
  const CalibrationTable& Calibration() const { return calibration_; }

 private:
  bool Exchange(const OutputReport& request, InputReport& reply);
  bool SendCommand(const OutputReport& request);

  platform::HidHandle& writeHandle_;
  platform::HidHandle& readHandle_;
  Sleeper& sleeper_;
  ReadingSet& readings_;
  CalibrationTable& calibration_;
  std::stop_token giveUp_;
};

}  // namespace device
