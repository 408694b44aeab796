#include "platform/ui/bitmap_cache.h"

namespace ui {

std::shared_ptr<const Bitmap> BitmapCache::Load(const std::filesystem::path& path) {
  const std::filesystem::path key = path.lexically_normal();
  {
    const std::lock_guard lock(mutex_);
    if (const auto found = bitmaps_.find(key); found != bitmaps_.end()) return found->second;
  }
  // Read outside the lock; two threads racing for one file both read it, one copy is kept.
  auto bitmap = Bitmap::Load(path, failures_);
  const std::lock_guard lock(mutex_);
  return bitmaps_.try_emplace(key, std::move(bitmap)).first->second;
}

void BitmapCache::SetOnDecodeFailure(DecodeFailures::Listener listener) {
  failures_->SetListener(std::move(listener));
}

void BitmapCache::Clear() {
  const std::lock_guard lock(mutex_);
  bitmaps_.clear();
}

std::size_t BitmapCache::Size() const {
  const std::lock_guard lock(mutex_);
  return bitmaps_.size();
}

std::size_t BitmapCache::Decodes() const {
  const std::lock_guard lock(mutex_);
  std::size_t decoded = 0;
  for (const auto& [path, bitmap] : bitmaps_) decoded += bitmap->Decoded() ? 1 : 0;
  return decoded;
}

void BitmapCache::DecodeAhead(std::vector<BitmapUse> uses) {
  if (uses.empty()) return;
  std::jthread decoder([uses = std::move(uses)] {
    for (const BitmapUse& use : uses) {
      try {
        use.bitmap->Prepare(use.keyed);
      } catch (...) {
        // Out of memory, say: the paint tries again and reports it on the UI thread.
      }
    }
  });
  const std::lock_guard lock(mutex_);
  decoders_.push_back(std::move(decoder));
}

void BitmapCache::FinishDecodingAhead() {
  std::vector<std::jthread> decoders;
  {
    const std::lock_guard lock(mutex_);
    decoders.swap(decoders_);
  }
  // Leaving this scope joins them.
}

bool BitmapCache::Decoded(const std::filesystem::path& path) const {
  const std::lock_guard lock(mutex_);
  const auto found = bitmaps_.find(path.lexically_normal());
  return found != bitmaps_.end() && found->second->Decoded();
}

}  // namespace ui
