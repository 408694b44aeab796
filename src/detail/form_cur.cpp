#include "detail/form_cur.h"

#include <iterator>

#include "device/rail_table.h"
#include "skin/skin_files.h"

namespace detail {
namespace {

// The window's displays in place order: the six rails with a current, as the rail table lists
// them, each at the row of its display.
constexpr std::int32_t kTops[] = {TFormCur::kUpperTop, TFormCur::kUpperTop,  TFormCur::kUpperTop,
                                  TFormCur::kLowerTop, TFormCur::kMiddleTop, TFormCur::kLowerTop};
static_assert(device::kRails[5].amps == &device::ReadingSet::Cur33V);

std::vector<DetailRail> Rails() {
  std::vector<DetailRail> rails;
  for (std::size_t i = 0; i < std::size(kTops); ++i)
    rails.push_back({device::kRails[i].key.data(), kTops[i]});
  return rails;
}

DetailLayout CurrentLayout(std::int32_t powerRating) {
  return DetailLayout{TFormCur::kClientSize,
                      TFormCur::kFirstPosition,
                      skin::ReaderVariant::CurrentWindow,
                      skin::CurrentWindowKeys(powerRating),
                      skin::CurrentWindowBackground(powerRating),
                      Rails(),
                      TFormCur::kDisplayHeight,
                      false,
                      false};
}

}  // namespace

TFormCur::Readings TFormCur::From(const device::ReadingSet& v) {
  Readings out{};
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = v.*device::kRails[i].amps;
  return out;
}

TFormCur::TFormCur(const DetailEnvironment& environment, const Readings& initial,
                   std::string languageFolder, std::int32_t powerRating)
    : DetailForm(environment, CurrentLayout(powerRating), std::move(languageFolder), powerRating,
                 initial) {}

}  // namespace detail
