// The skin layout reader over a fuzzed settings tree: every page of every window, for every
// rating, reads or fails with one of the errors the window reports.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "core/numbers.h"
#include "platform/registry/document_registry.h"
#include "platform/registry/reg_document.h"
#include "platform/registry/registry_file_error.h"
#include "skin/layout_reader.h"
#include "skin/page_records.h"
#include "skin/skin_errors.h"
#include "skin/skin_pages.h"

namespace {

void ReadAll(platform::Registry& registry, int rating) {
  const std::string folder = "Eng\\";
  skin::LayoutReader main(registry, skin::ReaderVariant::MainWindow, rating);
  for (const skin::PageKeys& group : skin::ManagerGroupKeys(rating)) {
    skin::PageRecords::Read(main, folder, group);
  }
  skin::PageRecords::Read(main, folder, skin::ConfigPageKeys());
  skin::PageRecords::Read(main, folder, skin::AlarmPageKeys(rating));
  skin::PageRecords::Read(main, folder, skin::CtrlPageKeys());
  skin::LayoutReader voltage(registry, skin::ReaderVariant::VoltageWindow, rating);
  skin::PageRecords::Read(voltage, folder, skin::VoltageWindowKeys(rating));
  skin::LayoutReader current(registry, skin::ReaderVariant::CurrentWindow, rating);
  skin::PageRecords::Read(current, folder, skin::CurrentWindowKeys(rating));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The tree is parsed once and read as the window's stores read it: a store would parse the
  // text again on every opening.
  std::optional<platform::RegDocument> document;
  try {
    document.emplace(platform::RegDocument::Parse(
        std::string_view(reinterpret_cast<const char*>(data), size), "fuzz"));
  } catch (const platform::RegistryFileError&) {
    return 0;
  }
  platform::DocumentRegistry registry(std::move(*document), platform::RegistryAccess::Read,
                                      nullptr);
  for (const int rating : {450, 550, 680, 800}) {
    try {
      ReadAll(registry, rating);
    } catch (const core::ConversionError&) {
    } catch (const platform::RegistryReadError&) {
    } catch (const skin::SkinFormatError&) {
    }
  }
  return 0;
}
