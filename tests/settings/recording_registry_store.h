#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/registry/registry.h"

namespace testing_support {

// Passes everything through to another store and notes, in order, every accessor opened, every
// key opened (with "missing" when it did not open) and every value written.
class RecordingRegistryStore : public platform::RegistryStore {
 public:
  explicit RecordingRegistryStore(platform::RegistryStore& inner) : inner_(inner) {}

  std::unique_ptr<platform::Registry> Open(platform::RegistryAccess access) override {
    log.push_back(access == platform::RegistryAccess::Read ? "open read" : "open write");
    return std::make_unique<Accessor>(inner_.Open(access), log);
  }

  // Only the value writes, as "Name=text".
  std::vector<std::string> Writes() const {
    std::vector<std::string> writes;
    for (const std::string& entry : log) {
      if (entry.rfind("write ", 0) == 0) writes.push_back(entry.substr(6));
    }
    return writes;
  }

  std::vector<std::string> log;

 private:
  class Key : public platform::RegistryKey {
   public:
    Key(std::unique_ptr<platform::RegistryKey> inner, std::vector<std::string>& log)
        : inner_(std::move(inner)), log_(log) {}
    std::string ReadString(std::string_view name) override { return inner_->ReadString(name); }
    bool WriteString(std::string_view name, std::string_view text) override {
      log_.push_back("write " + std::string(name) + "=" + std::string(text));
      return inner_->WriteString(name, text);
    }

   private:
    std::unique_ptr<platform::RegistryKey> inner_;
    std::vector<std::string>& log_;
  };

  class Accessor : public platform::Registry {
   public:
    Accessor(std::unique_ptr<platform::Registry> inner, std::vector<std::string>& log)
        : inner_(std::move(inner)), log_(log) {}
    std::unique_ptr<platform::RegistryKey> OpenKey(std::string_view path) override {
      auto key = inner_->OpenKey(path);
      log_.push_back("key " + std::string(path) + (key ? "" : " missing"));
      return key ? std::make_unique<Key>(std::move(key), log_) : nullptr;
    }
    bool Commit() override {
      log_.push_back("commit");
      return inner_->Commit();
    }

   private:
    std::unique_ptr<platform::Registry> inner_;
    std::vector<std::string>& log_;
  };

  platform::RegistryStore& inner_;
};

}  // namespace testing_support
