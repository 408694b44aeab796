#include "detail/form_cur.h"

#include "skin/skin_files.h"

namespace detail {
namespace {

DetailSpec CurrentSpec(std::int32_t powerRating) {
  return DetailSpec{TFormCur::kClientSize,
                    TFormCur::kFirstPosition,
                    skin::ReaderVariant::CurrentWindow,
                    skin::CurrentWindowKeys(powerRating),
                    skin::CurrentWindowBackground(powerRating),
                    {{"12V1", TFormCur::kUpperTop},
                     {"12V2", TFormCur::kUpperTop},
                     {"12V3", TFormCur::kUpperTop},
                     {"12V4", TFormCur::kLowerTop},
                     {"5V", TFormCur::kMiddleTop},
                     {"33V", TFormCur::kLowerTop}},
                    TFormCur::kDisplayHeight,
                    false,
                    false};
}

}  // namespace

TFormCur::Readings TFormCur::From(const device::ReadingSet& v) {
  return {v.Cur12V1, v.Cur12V2, v.Cur12V3, v.Cur12V4, v.Cur5V, v.Cur33V};
}

TFormCur::TFormCur(const DetailEnvironment& environment, const Readings& initial,
                   std::string languageFolder, std::int32_t powerRating)
    : DetailForm(environment, CurrentSpec(powerRating), std::move(languageFolder), powerRating,
                 initial) {}

}  // namespace detail
