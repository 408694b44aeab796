#include "detail/form_vol.h"

#include "skin/skin_files.h"

namespace detail {
namespace {

DetailSpec VoltageSpec(std::int32_t powerRating) {
  return DetailSpec{TFormVol::kClientSize,
                    TFormVol::kFirstPosition,
                    skin::ReaderVariant::VoltageWindow,
                    skin::VoltageWindowKeys(powerRating),
                    skin::VoltageWindowBackground(powerRating),
                    {{"12V1", TFormVol::kUpperTop},
                     {"12V2", TFormVol::kUpperTop},
                     {"12V3", TFormVol::kUpperTop},
                     {"12V4", TFormVol::kUpperTop},
                     {"5V", TFormVol::kLowerTop},
                     {"33V", TFormVol::kLowerTop},
                     {"Neg12V", TFormVol::kLowerTop, true},
                     {"5Vsb", TFormVol::kLowerTop}},
                    TFormVol::kDisplayHeight,
                    true,
                    true};
}

}  // namespace

TFormVol::Readings TFormVol::From(const device::ReadingSet& v) {
  return {v.Vol12V1, v.Vol12V2, v.Vol12V3, v.Vol12V4, v.Vol5V, v.Vol33V, v.VolNeg12V, v.Vol5Vsb};
}

TFormVol::TFormVol(const DetailEnvironment& environment, const Readings& initial,
                   std::string languageFolder, std::int32_t powerRating)
    : DetailForm(environment, VoltageSpec(powerRating), std::move(languageFolder), powerRating,
                 initial) {}

}  // namespace detail
