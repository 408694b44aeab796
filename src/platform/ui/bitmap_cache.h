#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/ui/bitmap.h"
#include "platform/ui/decode_failures.h"

namespace ui {

// Reads each picture file once (its pixels when it is first drawn, see Bitmap). The
// application owns one and hands it down; a file that fails to load is not remembered, so a
// later attempt reads it again.
class BitmapCache {
 public:
  // The picture of `path`; throws FileError naming the path when it cannot be loaded.
  std::shared_ptr<const Bitmap> Load(const std::filesystem::path& path);

  // Told of each picture of this cache whose pixels are refused when first decoded (see
  // DecodeFailures for the rules a listener keeps); none: nobody is told.
  void SetOnDecodeFailure(DecodeFailures::Listener listener);

  // Forgets every picture (those still shown stay alive in their controls).
  void Clear();

  std::size_t Size() const;
  // How many of the pictures it holds had their pixels decoded so far.
  std::size_t Decodes() const;
  // Whether the picture of `path` is held and its pixels were decoded.
  bool Decoded(const std::filesystem::path& path) const;

  // Decodes `uses` on a thread of their own, as they will be drawn: a window still being built
  // hands over the pictures of its first page and builds the rest meanwhile, so its first paint
  // finds them decoded. A paint that comes first decodes what it needs itself; each picture is
  // decoded once, by whoever asks first.
  void DecodeAhead(std::vector<BitmapUse> uses);
  // Waits until every decoding ahead has ended (the cache's end waits as well).
  void FinishDecodingAhead();

 private:
  const std::shared_ptr<DecodeFailures> failures_ = std::make_shared<DecodeFailures>();
  mutable std::mutex mutex_;
  std::map<std::filesystem::path, std::shared_ptr<const Bitmap>> bitmaps_;  // guarded by mutex_
  std::vector<std::jthread> decoders_;  // guarded by mutex_; last, so ended first
};

}  // namespace ui
