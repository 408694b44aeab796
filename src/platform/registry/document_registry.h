#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/reg_document.h"
#include "platform/registry/registry.h"

namespace platform {

// A read-only tree an accessor's snapshot lies over: a key exists when either has it, and a
// value the snapshot lacks is read from the tree beneath. Keys at or below `ownPath` are read
// from the tree beneath alone and cannot be written.
struct RegBeneath {
  std::shared_ptr<const RegLookup> tree;
  std::string ownPath;  // "" when the snapshot may hold any key
};

// One accessor over a snapshot of a .reg document. Reads see the snapshot and this accessor's
// own writes; the writes are handed to `commitEdits` as a list, so the store can apply just
// them to whatever the file holds by then. A key kept after its accessor is gone still reads
// the snapshot, but can no longer write.
class DocumentRegistry : public Registry {
 public:
  using CommitEdits = std::function<bool(const std::vector<RegEdit>&)>;

  DocumentRegistry(RegDocument snapshot, RegistryAccess access, CommitEdits commitEdits,
                   RegBeneath beneath = {});
  ~DocumentRegistry() override;

  DocumentRegistry(const DocumentRegistry&) = delete;
  DocumentRegistry& operator=(const DocumentRegistry&) = delete;

  std::unique_ptr<RegistryKey> OpenKey(std::string_view path) override;
  bool Commit() override;

  // What the accessor and its keys share.
  struct State {
    RegDocument snapshot;
    bool writable = false;  // write access, and the accessor still exists
    std::vector<RegEdit> pending;
    std::shared_ptr<const RegLookup> beneath;
    std::string ownFolded;  // RegBeneath::ownPath, folded

    bool Owned(const std::string& path) const;
    bool HasKey(const std::string& path) const;
    const RegValue* FindValue(const std::string& path, std::string_view name) const;
  };

 private:
  std::shared_ptr<State> state_;
  CommitEdits commitEdits_;
};

}  // namespace platform
