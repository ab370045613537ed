#include "editing/beat_list_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "recordings/recording_error.h"
#include "recordings/wfdb_annotations.h"
#include "recordings/wfdb_writer.h"
#include "tests/core/temp_folder.h"

namespace rrscope::editing {
namespace {

using beats::SampleStretch;
using Source = BeatSource;

std::string contentsOf(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(BeatAnnotationPath, IsBesideTheRecordUnderTheRecordsName) {
  EXPECT_EQ(beatAnnotationPath("dir/100.hea"), "dir/100.rrscope");
  EXPECT_EQ(beatAnnotationPath("dir/100"), "dir/100.rrscope");
  EXPECT_EQ(beatAnnotationPath("dir/100.dat"), "dir/100.rrscope");
  EXPECT_EQ(beatAnnotationPath("/a/b/name.edf"), "/a/b/name.rrscope");
}

// A minute at 360 per second with every source and every class, fractional
// positions and two unreadable stretches, one of them from a beat's very
// position.
BeatList editedMinute() {
  using C = beats::BeatClass;
  return {{100.25, 400.125, 700.001, 1000.5, 1400.75, 1800.333, 21000.999},
          {Source::detected, Source::moved, Source::inserted, Source::added, Source::detected,
           Source::added, Source::inserted},
          {{1000.5, 1300.25}, {5000, 6000}},
          360,
          360 * 60,
          {C::N, C::V, C::S, C::F, C::Q, C::V, C::N}};
}

TEST(BeatAnnotations, ReadBackAsSavedToAThousandthOfASampleAndAsReferenceBeats) {
  const test::TempFolder folder;
  const auto path = folder / "rec.rrscope";
  const BeatList list = editedMinute();
  writeBeatAnnotations(path, list, {360, 1});

  const SavedBeats saved = readBeatAnnotations(path, {360, 1});
  ASSERT_EQ(saved.positions.size(), list.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    EXPECT_NEAR(saved.positions[i], list.positions()[i], 0.0005) << "beat " << i;
  }
  EXPECT_EQ(saved.sources, std::vector<Source>(list.sources().begin(), list.sources().end()));
  EXPECT_EQ(saved.classes,
            std::vector<beats::BeatClass>(list.classes().begin(), list.classes().end()));
  ASSERT_EQ(saved.unreadable.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_NEAR(saved.unreadable[i].begin, list.unreadable()[i].begin, 0.0005);
    EXPECT_NEAR(saved.unreadable[i].end, list.unreadable()[i].end, 0.0005);
  }

  // At twice the rate, the same times are twice as many samples.
  EXPECT_NEAR(readBeatAnnotations(path, {720, 1}).positions[1], 800.25, 1e-9);

  // They are reference beats to the annotation reader.
  const recordings::AnnotationFile file = recordings::readAnnotations(path.string());
  ASSERT_TRUE(file.timeResolution.has_value());
  EXPECT_EQ(file.timeResolution->numerator, 360'000);
  std::vector<std::int64_t> rounded;
  for (const double position : list.positions()) rounded.push_back(std::llround(position));
  EXPECT_EQ(recordings::beatSamples(file, {360, 1}, {360, 1}), rounded);
  // Each beat under the MIT type of its class.
  EXPECT_EQ(recordings::beatLabels(file), "NVSFQVN");
}

TEST(BeatAnnotations, CountInWholeSamplesAtARateOfNoWholeHertz) {
  const test::TempFolder folder;
  const auto path = folder / "rec.rrscope";
  const BeatList list({10.2, 20.7}, {Source::detected, Source::added}, {{12.4, 15.6}}, 128.5, 100);
  writeBeatAnnotations(path, list, {257, 2});
  EXPECT_FALSE(recordings::readAnnotations(path.string()).timeResolution.has_value());
  const SavedBeats saved = readBeatAnnotations(path, {257, 2});
  EXPECT_EQ(saved.positions, (std::vector<double>{10, 21}));
  EXPECT_EQ(saved.sources, (std::vector<Source>{Source::detected, Source::added}));
  ASSERT_EQ(saved.unreadable.size(), 1u);
  EXPECT_EQ(saved.unreadable[0].begin, 12);
  EXPECT_EQ(saved.unreadable[0].end, 16);
}

TEST(BeatAnnotations, FromAnotherWriterKeepWhatTheyCanMean) {
  const test::TempFolder folder;
  const auto path = folder / "other.atr";
  // A V with a subtype that names no source, a rhythm note, a beat given
  // twice, a noise stretch left open, a left bundle branch block beat and a
  // beat of no EC57 class ('?').
  recordings::writeAnnotations(
      path,
      std::vector<recordings::Annotation>{
          {10, 5, 9}, {20, 28, 0}, {30, 1, 2}, {30, 1, 2}, {40, 14, -1}, {50, 2, 0}, {55, 30, 0}});
  const SavedBeats saved = readBeatAnnotations(path, {250, 1});
  EXPECT_EQ(saved.positions, (std::vector<double>{10, 30, 50, 55}));
  EXPECT_EQ(saved.sources, (std::vector<Source>{Source::detected, Source::inserted,
                                                Source::detected, Source::detected}));
  using C = beats::BeatClass;
  EXPECT_EQ(saved.classes, (std::vector<C>{C::V, C::N, C::N, C::Q}));
  ASSERT_EQ(saved.unreadable.size(), 1u);
  EXPECT_EQ(saved.unreadable[0].end, std::numeric_limits<double>::infinity());
  const BeatList list(saved.positions, saved.sources, saved.unreadable, 250, 60, saved.classes);
  EXPECT_EQ(list.unreadable()[0].end, 60);

  EXPECT_THROW(readBeatAnnotations(folder / "missing.rrscope", {250, 1}),
               recordings::RecordingError);
}

TEST(BeatCsv, ListsBeatsAndStretchEdgesInTimeOrder) {
  const test::TempFolder folder;
  const auto path = folder / "beats.csv";
  using C = beats::BeatClass;
  const BeatList list(
      {50, 100, 125.5, 200, 260},
      {Source::detected, Source::detected, Source::added, Source::moved, Source::inserted},
      {{100, 150}}, 100, 300, {C::N, C::V, C::N, C::S, C::F});
  writeBeatCsv(path, list);
  EXPECT_EQ(contentsOf(path),
            "time_s,sample,source,class\n"
            "0.5,50,detected,N\n"
            "1,100,unreadable_begin,\n"
            "1,100,detected,V\n"
            "1.255,125.5,added,N\n"
            "1.5,150,unreadable_end,\n"
            "2,200,moved,S\n"
            "2.6,260,inserted,F\n");
}

TEST(BeatFiles, ThatCannotBeWrittenThrowNamingThePathAndLeaveNothing) {
  const test::TempFolder folder;
  const BeatList list = editedMinute();
  const auto missing = folder / "no-such-folder" / "rec.rrscope";
  try {
    writeBeatAnnotations(missing, list, {360, 1});
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find(missing.string()), std::string::npos) << error.what();
  }
  EXPECT_THROW(writeBeatCsv(folder / "no-such-folder" / "b.csv", list), std::runtime_error);

  // The file is written but cannot take the place of a folder of its name.
  std::filesystem::create_directory(folder / "taken.rrscope");
  EXPECT_THROW(writeBeatAnnotations(folder / "taken.rrscope", list, {360, 1}), std::runtime_error);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

// The note names the recording in both rate forms (a whole and a
// fractional rate, whose files count time differently), and what differs
// from another recording is found part by part.
TEST(BeatAnnotations, NameTheRecordingTheyBelongTo) {
  const test::TempFolder folder;
  const RecordingIdentity saved{"100.hea", {360, 1}, 650000, 0xfedcba9876543210ULL};
  for (const recordings::SamplingRate rate :
       {recordings::SamplingRate{360, 1}, recordings::SamplingRate{257, 2}}) {
    const auto path = folder / "rec.rrscope";
    const std::vector<SampleStretch> samples{{360.5, 7200}, {9000, 10800.25}};
    writeBeatAnnotations(path, editedMinute(), rate,
                         {saved, beats::CorrectionLevel::strong, samples});
    const SavedBeats read = readBeatAnnotations(path, rate);
    EXPECT_EQ(read.notes.correction, beats::CorrectionLevel::strong);
    ASSERT_EQ(read.notes.samples.size(), samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
      EXPECT_EQ(read.notes.samples[i].begin, samples[i].begin);
      EXPECT_EQ(read.notes.samples[i].end, samples[i].end);
    }
    ASSERT_TRUE(read.notes.identity.has_value());
    EXPECT_TRUE(differences(*read.notes.identity, saved).empty())
        << identityText(*read.notes.identity);
    EXPECT_EQ(read.positions.size(), editedMinute().size());
  }
  writeBeatAnnotations(folder / "plain.rrscope", editedMinute(), {360, 1});
  const SavedBeats plain = readBeatAnnotations(folder / "plain.rrscope", {360, 1});
  EXPECT_FALSE(plain.notes.identity.has_value());
  EXPECT_FALSE(plain.notes.correction.has_value());
  EXPECT_TRUE(plain.notes.samples.empty());

  using Part = IdentityPart;
  const auto expectDifferences = [&saved](const RecordingIdentity& opened,
                                          const std::vector<Part>& parts) {
    EXPECT_EQ(differences(saved, opened), parts) << identityText(opened);
  };
  expectDifferences({"100.rr", {360, 1}, 650000, saved.checksum}, {Part::fileName});
  expectDifferences({"100.hea", {720, 2}, 650000, saved.checksum}, {});
  expectDifferences({"100.hea", {1000, 1}, 650000, saved.checksum}, {Part::rate});
  expectDifferences({"100.hea", {360, 1}, 649999, saved.checksum}, {Part::sampleCount});
  expectDifferences({"100.hea", {360, 1}, 650000, saved.checksum ^ 1}, {Part::checksum});
  expectDifferences({"x.edf", {250, 1}, 1, 0},
                    {Part::fileName, Part::rate, Part::sampleCount, Part::checksum});
  EXPECT_FALSE(readIdentityText("## time resolution: 360000").has_value());
  EXPECT_FALSE(readIdentityText("## rrscope recording: 360/1 12 zz 100.hea").has_value());
}

// Restored beats count as edited by hand what the analysis did not put
// there and what it put there that is gone: a moved beat twice.
TEST(RestoredBeatList, CountsAddedBeatsAndTheAnalysisBeatsThatAreGone) {
  const BeatList analysed({100, 400, 700, 1000, 1300}, std::vector(5, Source::detected), {}, 360,
                          360 * 60);
  const struct {
    std::vector<double> positions;
    std::vector<Source> sources;
    std::size_t edited;
  } cases[] = {
      {{100, 400, 700, 1000, 1300}, std::vector(5, Source::detected), 0},
      {{100, 700, 1000, 1300}, std::vector(4, Source::detected), 1},
      {{100, 400.001, 700, 1000}, std::vector(4, Source::detected), 1},
      {{100, 450, 700, 1000, 1300},
       {Source::detected, Source::added, Source::detected, Source::detected, Source::detected},
       2},
      {{100, 250, 400, 700, 1000, 1300},
       {Source::detected, Source::added, Source::detected, Source::detected, Source::detected,
        Source::detected},
       1},
  };
  for (const auto& [positions, sources, edited] : cases) {
    SavedBeats saved;
    saved.positions = positions;
    saved.sources = sources;
    const BeatList restored = restoredBeatList(std::move(saved), analysed);
    EXPECT_EQ(restored.editedBeats(), edited) << positions.size();
    EXPECT_EQ(restored.sampleCount(), analysed.sampleCount());
  }
}

}  // namespace
}  // namespace rrscope::editing
