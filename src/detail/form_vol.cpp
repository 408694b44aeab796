#include "detail/form_vol.h"

#include "device/rail_table.h"
#include "skin/skin_files.h"

namespace detail {
namespace {

using device::RailId;

// The window's displays in place order, each at the row of its display.
struct Place {
  RailId rail;
  std::int32_t top;
};
constexpr Place kPlaces[] = {
    {RailId::R12V1, TFormVol::kUpperTop},   {RailId::R12V2, TFormVol::kUpperTop},
    {RailId::R12V3, TFormVol::kUpperTop},   {RailId::R12V4, TFormVol::kUpperTop},
    {RailId::R5V, TFormVol::kLowerTop},     {RailId::R33V, TFormVol::kLowerTop},
    {RailId::RNeg12V, TFormVol::kLowerTop}, {RailId::R5Vsb, TFormVol::kLowerTop},
};

std::vector<DetailRail> Rails() {
  std::vector<DetailRail> rails;
  for (const Place& place : kPlaces) {
    // The -12 V rail shows its magnitude with the sign.
    rails.push_back(
        {device::RailOf(place.rail).key.data(), place.top, place.rail == RailId::RNeg12V});
  }
  return rails;
}

DetailLayout VoltageLayout(std::int32_t powerRating) {
  return DetailLayout{TFormVol::kClientSize,
                      TFormVol::kFirstPosition,
                      skin::ReaderVariant::VoltageWindow,
                      skin::VoltageWindowKeys(powerRating),
                      skin::VoltageWindowBackground(powerRating),
                      Rails(),
                      TFormVol::kDisplayHeight,
                      true,
                      true};
}

}  // namespace

TFormVol::Readings TFormVol::From(const device::ReadingSet& v) {
  Readings out{};
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = v.*device::RailOf(kPlaces[i].rail).volts;
  return out;
}

TFormVol::TFormVol(const DetailEnvironment& environment, const Readings& initial,
                   std::string languageFolder, std::int32_t powerRating)
    : DetailForm(environment, VoltageLayout(powerRating), std::move(languageFolder), powerRating,
                 initial) {}

}  // namespace detail
