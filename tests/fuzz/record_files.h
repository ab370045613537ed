#pragma once

// A WFDB record made of fuzz input: the bytes up to the first NUL are the
// header, the rest the signal file. Both go into a folder of this process,
// removed at exit, as RECORD.hea and RECORD.dat, so that a header may name
// its signal file as it likes: only files in that folder exist.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>

namespace rrscope::fuzz {

class RecordFolder {
 public:
  RecordFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "rrscope-fuzz-record-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    folder_ = pattern;
  }
  ~RecordFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  RecordFolder(const RecordFolder&) = delete;
  RecordFolder& operator=(const RecordFolder&) = delete;

  // Writes the parts of `input` between the bytes DE AD BE EF (binary
  // signal files hold NULs) as the files `names`, in order, those the input
  // lacks empty; returns the first file's path.
  std::string writeParts(std::string_view input, std::initializer_list<const char*> names) const {
    constexpr std::string_view kSeparator = "\xde\xad\xbe\xef";
    for (const char* name : names) {
      const std::size_t split = input.find(kSeparator);
      save(name, input.substr(0, split));
      input = split == std::string_view::npos ? std::string_view()
                                              : input.substr(split + kSeparator.size());
    }
    return (folder_ / *names.begin()).string();
  }

  // Writes `bytes` as the file `name`; returns its path.
  std::string writeFile(const char* name, std::string_view bytes) const {
    save(name, bytes);
    return (folder_ / name).string();
  }

  // Writes the record of `input`; returns the header's path.
  std::string write(std::string_view input) const {
    const std::size_t split = input.find('\0');
    const std::string_view header = input.substr(0, split);
    const std::string_view signal =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
    save("RECORD.hea", header);
    save("RECORD.dat", signal);
    return (folder_ / "RECORD.hea").string();
  }

 private:
  void save(const char* name, std::string_view bytes) const {
    std::ofstream(folder_ / name, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::filesystem::path folder_;
};

}  // namespace rrscope::fuzz
