#include "detail/detail_windows.h"

namespace detail {

void DetailWindows::ShowVoltageWindow(const device::ReadingSet& values,
                                      const std::string& languageFolder, std::int32_t powerRating) {
  if (!formVol_) {
    formVol_ =
        std::make_unique<TFormVol>(env_, TFormVol::From(values), languageFolder, powerRating);
  }
  formVol_->Show();
}

void DetailWindows::ShowCurrentWindow(const device::ReadingSet& values,
                                      const std::string& languageFolder, std::int32_t powerRating) {
  if (!formCur_) {
    formCur_ =
        std::make_unique<TFormCur>(env_, TFormCur::From(values), languageFolder, powerRating);
  }
  formCur_->Show();
}

void DetailWindows::VoltagesReady(const device::ReadingSet& values) {
  if (formVol_) formVol_->Refresh(TFormVol::From(values));
}

void DetailWindows::MonitorPageRefreshed(const device::ReadingSet& values) {
  if (formVol_) formVol_->Refresh(TFormVol::From(values));
  if (formCur_) formCur_->Refresh(TFormCur::From(values));
}

}  // namespace detail
