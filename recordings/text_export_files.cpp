#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <stdexcept>

#include "recordings/text_export.h"

namespace rrscope::recordings {
namespace {

// A file written under a temporary name in the same folder and renamed
// into place when complete, so that readers never see half of it.
class AtomicFile {
 public:
  explicit AtomicFile(std::filesystem::path path)
      : path_(std::move(path)),
        temporary_(path_.string() + ".part-" + std::to_string(::getpid())),
        out_(temporary_, std::ios::binary | std::ios::trunc) {
    if (!out_) throw std::runtime_error("cannot write " + temporary_.string());
  }
  ~AtomicFile() {
    if (!committed_) {
      out_.close();
      std::error_code ignored;
      std::filesystem::remove(temporary_, ignored);
    }
  }
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  void write(std::string_view text) {
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  void commit() {
    out_.close();
    if (!out_) throw std::runtime_error("cannot write " + path_.string());
    std::filesystem::rename(temporary_, path_);
    committed_ = true;
  }

 private:
  std::filesystem::path path_;
  std::filesystem::path temporary_;
  std::ofstream out_;
  bool committed_ = false;
};

class FileSink : public TextPartSink {
 public:
  FileSink(std::filesystem::path folder, std::string_view stem, bool withBeats)
      : folder_(std::move(folder)), stem_(stem), withBeats_(withBeats) {}

  void beginPart(std::size_t index, std::size_t partCount) override {
    name_ = partCount == 1 ? stem_ : stem_ + "-" + std::to_string(index + 1);
    samples_.emplace(folder_ / (name_ + ".txt"));
  }
  void writeLines(std::string_view text) override { samples_->write(text); }
  void endPart(std::span<const std::int64_t> beatLines) override {
    std::vector<std::filesystem::path> done{folder_ / (name_ + ".txt")};
    if (withBeats_) {
      AtomicFile beats(folder_ / (name_ + "-beats.txt"));
      std::string text;
      for (const std::int64_t line : beatLines) text += std::to_string(line) + '\n';
      beats.write(text);
      beats.commit();
      done.push_back(folder_ / (name_ + "-beats.txt"));
    }
    samples_->commit();
    samples_.reset();
    written_.insert(written_.end(), done.begin(), done.end());
  }

  std::vector<std::filesystem::path> written() const { return written_; }

 private:
  std::filesystem::path folder_;
  std::string stem_;
  bool withBeats_;
  std::string name_;
  std::optional<AtomicFile> samples_;
  std::vector<std::filesystem::path> written_;
};

}  // namespace

std::vector<std::filesystem::path> exportTextFiles(const Recording& recording,
                                                   std::span<const std::int64_t> beats,
                                                   bool withBeats,
                                                   const std::filesystem::path& folder,
                                                   std::string_view stem) {
  FileSink sink(folder, stem, withBeats);
  exportText(recording, beats, sink);
  return sink.written();
}

}  // namespace rrscope::recordings
