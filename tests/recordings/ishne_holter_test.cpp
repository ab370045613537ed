#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "ishne_file.h"
#include "recordings/read_recording.h"
#include "recordings/recording_error.h"
#include "tests/core/temp_folder.h"
#include "tests/recordings/error_of.h"

namespace rrscope::recordings {
namespace {

std::vector<std::int16_t> waveOf(std::size_t count, double amplitude, double step) {
  std::vector<std::int16_t> values;
  for (std::size_t i = 0; i < count; ++i) {
    values.push_back(static_cast<std::int16_t>(std::lround(amplitude * std::sin(step * i))));
  }
  return values;
}

struct TwoLeadHolter {
  test::TempFolder folder;
  std::string path = (folder / "day.ecg").string();
  std::vector<std::int16_t> first = waveOf(2000, 800, 0.05);
  std::vector<std::int16_t> second = waveOf(2000, 3000, 0.11);

  TwoLeadHolter() { writeIshne(path, 200, {{6, 2500, first}, {11, 5000, second}}, "a note"); }
};

TEST(IshneHolter, EachLeadReadsBackInMillivoltsAtTheFileRate) {
  const TwoLeadHolter holter;
  const Recording first = readHolterRecording(holter.path, {});
  EXPECT_EQ(first.units, "mV");
  EXPECT_EQ(first.rate.numerator, 200);
  EXPECT_EQ(first.rate.denominator, 1);
  EXPECT_TRUE(first.warnings.empty());
  ASSERT_EQ(first.sampleCount(), holter.first.size());
  for (std::size_t i = 0; i < holter.first.size(); ++i) {
    ASSERT_NEAR(first.physical(i), holter.first[i] * 0.0025, 1e-9) << "sample " << i;
  }
  const Recording second = readHolterRecording(holter.path, {"1"});
  ASSERT_EQ(second.sampleCount(), holter.second.size());
  for (std::size_t i = 0; i < holter.second.size(); ++i) {
    ASSERT_NEAR(second.physical(i), holter.second[i] * 0.005, 1e-9) << "sample " << i;
  }
}

// A header whose checksum does not match is read, with a warning: the
// samples may be sound, but the header may not be.
TEST(IshneHolter, AHeaderChecksumThatDoesNotMatchIsAWarning) {
  const TwoLeadHolter holter;
  std::fstream file(holter.path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(8);
  file.put('\x5a');
  file.close();
  const Recording recording = readHolterRecording(holter.path, {});
  EXPECT_EQ(
      recording.warnings,
      std::vector<std::string>{"the header checksum does not match the header: it may be damaged"});
  EXPECT_EQ(recording.sampleCount(), holter.first.size());
}

// Long enough that reading it in pieces crashed BioSig.
TEST(IshneHolter, AnHourOfThreeLeadsReadsBackExactly) {
  const test::TempFolder folder;
  const std::string path = (folder / "hour.ecg").string();
  std::vector<std::int16_t> ramp(3600 * 200);
  for (std::size_t i = 0; i < ramp.size(); ++i)
    ramp[i] = static_cast<std::int16_t>(i % 4001) - 2000;
  writeIshne(path, 200,
             {{5, 2500, waveOf(ramp.size(), 500, 0.01)},
              {6, 2500, ramp},
              {11, 2500, waveOf(ramp.size(), 900, 0.02)}});
  const Recording lead = readHolterRecording(path, {"1"});
  ASSERT_EQ(lead.values.size(), ramp.size());
  for (std::size_t i = 0; i < ramp.size(); ++i) ASSERT_EQ(lead.values[i], ramp[i]) << i;
}

TEST(IshneHolter, LeadsAreListedAndChosenAsForEdf) {
  const TwoLeadHolter holter;
  const std::vector<ChannelListing> channels = listHolterChannels(holter.path);
  ASSERT_EQ(channels.size(), 2u);
  EXPECT_EQ(channels[1].rate.numerator, 200);
  EXPECT_TRUE(looksLikeEcg(channels[0].label)) << channels[0].label;
  EXPECT_TRUE(looksLikeEcg(channels[1].label)) << channels[1].label;
  EXPECT_EQ(readHolterRecording(holter.path, {channels[1].label}).channel, channels[1].label);
  EXPECT_EQ(leadNumbers(holter.path, {}), (std::vector<std::size_t>{0, 1}));
  EXPECT_THROW(readHolterRecording(holter.path, {"2"}), RecordingError);
}

std::string messageOf(const std::string& path) {
  return errorOf([&] { readHolterRecording(path, {}); });
}

TEST(IshneHolter, AMissingDamagedOrTruncatedFileIsAnErrorNamingIt) {
  const test::TempFolder folder;
  const std::string missing = (folder / "none.ecg").string();
  EXPECT_EQ(messageOf(missing), missing + ": cannot open the file");
  const std::string junk = folder.write("junk.ecg", std::string(700, 'x'));
  EXPECT_EQ(messageOf(junk), junk + ": BioSig cannot read the file: the format is unknown");

  const TwoLeadHolter holter;
  std::ifstream in(holter.path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::string truncated = folder.write("cut.ecg", bytes.substr(0, bytes.size() - 3));
  EXPECT_EQ(messageOf(truncated),
            truncated +
                ": the ISHNE header gives 2000 samples per lead from byte 528, more than "
                "the file holds");
}

}  // namespace
}  // namespace rrscope::recordings
