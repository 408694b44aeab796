#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#include "platform/ui/bitmap.h"

namespace ui {

// Decodes each picture file once. The application owns one and hands it down; a file that
// fails to load is not remembered, so a later attempt reads it again.
class BitmapCache {
 public:
  // The picture of `path`; throws FileError naming the path when it cannot be loaded.
  std::shared_ptr<const Bitmap> Load(const std::filesystem::path& path);

  // Forgets every picture (those still shown stay alive in their controls).
  void Clear();

  std::size_t Size() const;
  // How many files were decoded so far.
  std::size_t Decodes() const;

 private:
  mutable std::mutex mutex_;
  std::map<std::filesystem::path, std::shared_ptr<const Bitmap>> bitmaps_;  // guarded by mutex_
  std::size_t decodes_ = 0;                                                 // guarded by mutex_
};

}  // namespace ui
