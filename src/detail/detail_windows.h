#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "detail/detail_form.h"
#include "detail/form_cur.h"
#include "detail/form_vol.h"
#include "device/reading_set.h"

namespace detail {

// The main window's two detail windows: each made by the first press of its "All" button and
// kept, visible or hidden, for the rest of the run. UI thread only.
class DetailWindows {
 public:
  explicit DetailWindows(DetailEnvironment environment) : env_(std::move(environment)) {}

  // "VolNegAll" and "CurAll": the first press creates the window from the present readings,
  // the skin's language folder and the rating; every press shows it.
  void ShowVoltageWindow(const device::ReadingSet& values, const std::string& languageFolder,
                         std::int32_t powerRating);
  void ShowCurrentWindow(const device::ReadingSet& values, const std::string& languageFolder,
                         std::int32_t powerRating);

  // Every new set of voltages, on any page: the voltage window follows it.
  void VoltagesReady(const device::ReadingSet& values);
  // A completed poll cycle while the monitor page is shown, after the page's own refresh:
  // both windows follow it.
  void MonitorPageRefreshed(const device::ReadingSet& values);

  // Null until first shown.
  TFormVol* FormVol() const { return formVol_.get(); }
  TFormCur* FormCur() const { return formCur_.get(); }

 private:
  DetailEnvironment env_;
  std::unique_ptr<TFormVol> formVol_;
  std::unique_ptr<TFormCur> formCur_;
};

}  // namespace detail
