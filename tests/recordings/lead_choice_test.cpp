#include "recordings/lead_choice.h"

#include <gtest/gtest.h>

#include <vector>

namespace rrscope::recordings {
namespace {

constexpr SamplingRate kEcgRate{360, 1};   // the leads' rate
constexpr SamplingRate kOtherRate{25, 1};  // a slow channel, as respiration often is

// Only ECG leads at the chosen lead's rate join it, the chosen lead first,
// also when it was chosen against its label.
TEST(LeadChoice, EcgLeadsAtTheChosenRateJoinTheChosenLead) {
  const std::vector<ChannelListing> channels{
      {"Resp", kEcgRate}, {"MLII", kEcgRate}, {"V5", kEcgRate}, {"ECG V1", kOtherRate}};
  for (const auto fallback : {WithoutEcgLabel::takeFirst, WithoutEcgLabel::refuse}) {
    EXPECT_EQ(chooseLeads(channels, 2, fallback), (std::vector<std::size_t>{2, 1}));
    EXPECT_EQ(chooseLeads(channels, 0, fallback), (std::vector<std::size_t>{0, 1, 2}));
  }
}

// Without another ECG label a WFDB record offers every signal at the rate,
// since its labels are optional, and an EDF file offers none.
TEST(LeadChoice, WithoutEcgLabelsWfdbTakesEverySignalAndEdfNone) {
  const std::vector<ChannelListing> channels{{"", kEcgRate}, {"", kEcgRate}, {"Pleth", kOtherRate}};
  EXPECT_EQ(chooseLeads(channels, 1, WithoutEcgLabel::takeFirst), (std::vector<std::size_t>{1, 0}));
  EXPECT_EQ(chooseLeads(channels, 1, WithoutEcgLabel::refuse), (std::vector<std::size_t>{1}));
  EXPECT_EQ(
      chooseLeads(std::vector<ChannelListing>{{"II", kEcgRate}}, 0, WithoutEcgLabel::takeFirst),
      (std::vector<std::size_t>{0}));
}

}  // namespace
}  // namespace rrscope::recordings
