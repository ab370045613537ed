#include "editing/recording_identity.h"

#include <array>
#include <charconv>
#include <filesystem>
#include <span>

namespace rrscope::editing {
namespace {

constexpr std::string_view kPrefix = "## rrscope recording:";
// The note holds 255 bytes; the numbers take at most 80 of them.
constexpr std::size_t kLongestName = 160;

// FNV-1a over the bytes of `values`: quick over a day's samples, and any
// change to one of them changes it.
template <typename Value>
std::uint64_t checksumOf(std::span<const Value> values) {
  constexpr std::uint64_t kOffset = 14695981039346656037ULL;
  constexpr std::uint64_t kPrime = 1099511628211ULL;
  std::uint64_t hash = kOffset;
  for (const Value& value : values) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
    for (std::size_t i = 0; i < sizeof(Value); ++i) hash = (hash ^ bytes[i]) * kPrime;
  }
  return hash;
}

template <typename Number>
bool readNumber(std::string_view& text, Number& value, int base = 10) {
  while (text.starts_with(' ')) text.remove_prefix(1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc()) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}

bool skip(std::string_view& text, char expected) {
  if (!text.starts_with(expected)) return false;
  text.remove_prefix(1);
  return true;
}

}  // namespace

RecordingIdentity identityOf(const OpenedRecording& opened) {
  RecordingIdentity identity;
  identity.fileName = std::filesystem::path(opened.file).filename().string();
  identity.sampleCount = opened.beats.sampleCount();
  if (opened.recording) {
    identity.rate = opened.recording->rate;
    identity.checksum = checksumOf(std::span<const std::int32_t>(opened.recording->values));
  } else {
    identity.rate = {1000, 1};
    identity.checksum = checksumOf(opened.beats.positions());
  }
  return identity;
}

std::string identityText(const RecordingIdentity& identity) {
  std::array<char, 17> checksum{};
  const auto end =
      std::to_chars(checksum.data(), checksum.data() + checksum.size(), identity.checksum, 16).ptr;
  return std::string(kPrefix) + ' ' + std::to_string(identity.rate.numerator) + '/' +
         std::to_string(identity.rate.denominator) + ' ' + std::to_string(identity.sampleCount) +
         ' ' + std::string(checksum.data(), end) + ' ' + identity.fileName.substr(0, kLongestName);
}

std::optional<RecordingIdentity> readIdentityText(std::string_view text) {
  if (!text.starts_with(kPrefix)) return {};
  text.remove_prefix(kPrefix.size());
  RecordingIdentity identity;
  if (!readNumber(text, identity.rate.numerator) || !skip(text, '/') ||
      !readNumber(text, identity.rate.denominator) || !readNumber(text, identity.sampleCount) ||
      !readNumber(text, identity.checksum, 16) || !skip(text, ' ')) {
    return {};
  }
  identity.fileName = std::string(text);
  return identity;
}

std::vector<IdentityPart> differences(const RecordingIdentity& saved,
                                      const RecordingIdentity& opened) {
  std::vector<IdentityPart> parts;
  // A name cut to fit the note matches the name it was cut from.
  if (saved.fileName != opened.fileName.substr(0, kLongestName)) {
    parts.push_back(IdentityPart::fileName);
  }
  if (saved.rate.numerator * opened.rate.denominator !=
      opened.rate.numerator * saved.rate.denominator) {
    parts.push_back(IdentityPart::rate);
  }
  if (saved.sampleCount != opened.sampleCount) parts.push_back(IdentityPart::sampleCount);
  if (saved.checksum != opened.checksum) parts.push_back(IdentityPart::checksum);
  return parts;
}

}  // namespace rrscope::editing
