#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/memory_registry_store.h"

namespace skin::testing {

// The in-memory settings tree, loaded from .reg text (the header line is added when the text
// lacks it), noting every key opened and every value read so tests can check reading orders:
// "OpenKey <path>" and "<path> : <value name>", paths as the reader gave them.
class RecordingStore : public platform::RegistryStore {
 public:
  explicit RecordingStore(std::string_view regText) : inner_(WithHeader(regText)) {}

  std::unique_ptr<platform::Registry> Open(platform::RegistryAccess access) override {
    ++accessorsOpened_;
    return std::make_unique<Accessor>(inner_.Open(access), log_);
  }

  const std::vector<std::string>& Log() const { return log_; }
  void ClearLog() { log_.clear(); }
  int AccessorsOpened() const { return accessorsOpened_; }

 private:
  static std::string WithHeader(std::string_view text) {
    constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
    if (text.substr(0, kHeader.size()) == kHeader) return std::string(text);
    return std::string(kHeader) + "\n\n" + std::string(text);
  }

  class Key : public platform::RegistryKey {
   public:
    Key(std::unique_ptr<platform::RegistryKey> inner, std::string path,
        std::vector<std::string>& log)
        : inner_(std::move(inner)), path_(std::move(path)), log_(log) {}
    std::string ReadString(std::string_view name) override {
      log_.push_back(path_ + " : " + std::string(name));
      return inner_->ReadString(name);
    }
    std::string ReadExpandString(std::string_view name) override {
      log_.push_back(path_ + " : " + std::string(name));
      return inner_->ReadExpandString(name);
    }
    bool WriteString(std::string_view name, std::string_view text) override {
      return inner_->WriteString(name, text);
    }

   private:
    std::unique_ptr<platform::RegistryKey> inner_;
    std::string path_;
    std::vector<std::string>& log_;
  };

  class Accessor : public platform::Registry {
   public:
    Accessor(std::unique_ptr<platform::Registry> inner, std::vector<std::string>& log)
        : inner_(std::move(inner)), log_(log) {}
    std::unique_ptr<platform::RegistryKey> OpenKey(std::string_view path) override {
      log_.push_back("OpenKey " + std::string(path));
      auto key = inner_->OpenKey(path);
      return key ? std::make_unique<Key>(std::move(key), std::string(path), log_) : nullptr;
    }
    bool Commit() override { return inner_->Commit(); }

   private:
    std::unique_ptr<platform::Registry> inner_;
    std::vector<std::string>& log_;
  };

  platform::MemoryRegistryStore inner_;
  std::vector<std::string> log_;
  int accessorsOpened_ = 0;
};

}  // namespace skin::testing
