#include "platform/registry/memory_registry_store.h"

#include "platform/registry/document_registry.h"
#include "platform/registry/reg_document.h"

namespace platform {
namespace {

const std::string kSource = "memory";

}  // namespace

MemoryRegistryStore::MemoryRegistryStore(std::string regText) : text_(std::move(regText)) {
  RegDocument::Parse(text_, kSource);
}

std::unique_ptr<Registry> MemoryRegistryStore::Open(RegistryAccess access) {
  return std::make_unique<DocumentRegistry>(
      RegDocument::Parse(Text(), kSource), access, [this](const std::vector<RegEdit>& edits) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (commitsFail_) return false;
        RegDocument current = RegDocument::Parse(text_, kSource);
        if (!current.Apply(edits)) return false;
        text_ = current.Text();
        ++commits_;
        return true;
      });
}

std::string MemoryRegistryStore::Text() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return text_;
}

void MemoryRegistryStore::SetCommitsFail(bool fail) {
  const std::lock_guard<std::mutex> lock(mutex_);
  commitsFail_ = fail;
}

int MemoryRegistryStore::Commits() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return commits_;
}

}  // namespace platform
