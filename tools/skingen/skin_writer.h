#pragma once

#include <QImage>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace skingen {

// Writes the whole default skin: the pictures under <bin>/Skin, the image-list strips, and
// the factory settings file (the factory settings, when given, followed by the skin tree).
class SkinWriter {
 public:
  struct Options {
    std::filesystem::path binDir;      // the program folder
    std::filesystem::path listsDir;    // where the image-list strips go
    std::filesystem::path factoryIn;   // factory settings to copy first; may not exist
    std::filesystem::path factoryOut;  // the merged settings file
    int threads = 2;
  };

  explicit SkinWriter(Options options);

  // Writes everything; throws std::runtime_error naming the file that could not be written or
  // the stored path that names no written picture.
  void WriteAll();

  // Number of pictures written and their total size, for the build's report.
  int FilesWritten() const { return files_; }
  std::uintmax_t BytesWritten() const { return bytes_; }

 private:
  void WriteShared();
  void WriteLanguage(std::size_t language);
  void WriteLists();
  void WriteSettings();
  void CheckEveryStoredPath() const;
  void Save(const QImage& image, const std::filesystem::path& file);

  Options options_;
  std::atomic<int> files_{0};
  std::atomic<std::uintmax_t> bytes_{0};
};

// Saves a picture as a bitmap file (RLE8 where it has at most 256 colours), creating its
// folder; throws when it cannot.
void SaveBitmap(const QImage& image, const std::filesystem::path& file);

// The full path of a stored skin path ("Skin\Eng\x.bmp") below a program folder, as written.
std::filesystem::path StoredToFile(const std::filesystem::path& binDir, const std::string& stored);

}  // namespace skingen
