#include "support/recording_registry_store.h"

#include <algorithm>

namespace testing_support {
namespace {

class RecordingKey : public platform::RegistryKey {
 public:
  RecordingKey(std::unique_ptr<platform::RegistryKey> inner, std::string path,
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
    log_.push_back("write " + std::string(name) + "=" + std::string(text));
    return inner_->WriteString(name, text);
  }

 private:
  std::unique_ptr<platform::RegistryKey> inner_;
  std::string path_;
  std::vector<std::string>& log_;
};

class RecordingAccessor : public platform::Registry {
 public:
  RecordingAccessor(std::unique_ptr<platform::Registry> inner, std::vector<std::string>& log)
      : inner_(std::move(inner)), log_(log) {}

  std::unique_ptr<platform::RegistryKey> OpenKey(std::string_view path) override {
    auto key = inner_->OpenKey(path);
    log_.push_back("OpenKey " + std::string(path) + (key ? "" : " missing"));
    return key ? std::make_unique<RecordingKey>(std::move(key), std::string(path), log_) : nullptr;
  }
  bool Commit() override {
    log_.push_back("commit");
    return inner_->Commit();
  }

 private:
  std::unique_ptr<platform::Registry> inner_;
  std::vector<std::string>& log_;
};

std::string WithHeader(std::string_view text) {
  constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
  if (text.substr(0, kHeader.size()) == kHeader) return std::string(text);
  return std::string(kHeader) + "\n\n" + std::string(text);
}

}  // namespace

RecordingRegistryStore::RecordingRegistryStore(platform::RegistryStore& inner) : inner_(inner) {}

RecordingRegistryStore::RecordingRegistryStore(std::string_view regText)
    : own_(std::in_place, WithHeader(regText)), inner_(*own_) {}

std::unique_ptr<platform::Registry> RecordingRegistryStore::Open(platform::RegistryAccess access) {
  log.push_back(access == platform::RegistryAccess::Read ? "open read" : "open write");
  return std::make_unique<RecordingAccessor>(inner_.Open(access), log);
}

std::vector<std::string> RecordingRegistryStore::Writes() const {
  std::vector<std::string> writes;
  for (const std::string& entry : log) {
    if (entry.rfind("write ", 0) == 0) writes.push_back(entry.substr(6));
  }
  return writes;
}

int RecordingRegistryStore::AccessorsOpened() const {
  return static_cast<int>(std::count_if(log.begin(), log.end(), [](const std::string& entry) {
    return entry == "open read" || entry == "open write";
  }));
}

}  // namespace testing_support
