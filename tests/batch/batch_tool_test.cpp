// End-to-end tests of rrscope-batch: the built program runs on small files
// made here, and its output is read back.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "charts/display_list_json.h"
#include "charts/recording_window.h"
#include "charts/run.h"

namespace rrscope {
namespace {

struct ToolResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

ToolResult runTool(const QStringList& arguments) {
  QProcess process;
  // Without a display the tool must find the offscreen platform by itself.
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    environment.remove(name);
  }
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(RRSCOPE_BATCH_TOOL), arguments);
  process.waitForFinished(120'000);
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardOutput().toStdString(),
          process.readAllStandardError().toStdString()};
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t end = text.find('\n', begin);
    result.push_back(text.substr(begin, end - begin));
    if (end == std::string::npos) break;
    begin = end + 1;
  }
  return result;
}

QJsonObject jsonObject(const std::string& line) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
  return document.object();
}

std::string readFile(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The display lists of a Command1 run in the library, as the tool writes them.
std::string libraryDisplayLists(const QString& file, std::string_view tau) {
  RecordingWindow window;
  window.setText(TextBox::Text9, tau);
  window.setNextFile(file.toStdString());
  AnalysisState state;
  EXPECT_FALSE(runAnalysis(RunEntry::command1, state, window));
  std::array<const DisplayList*, 5> lists{};
  for (std::size_t i = 0; i < lists.size(); ++i) {
    lists[i] = &window.displayList(static_cast<Picture>(i));
  }
  return displayListsJson(lists) + "\n";
}

class BatchTool : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

  QString path(const QString& name) const { return folder_.filePath(name); }

  QString writeFile(const QString& name, const std::string& content) const {
    std::ofstream(path(name).toStdString(), std::ios::binary) << content;
    return path(name);
  }

  // Eleven single-sample R peaks at 1000, 7000, ..., 61000 in 66000 samples:
  // one second between beats.
  QString writeElevenBeats(const QString& name = QStringLiteral("beats.txt")) const {
    std::string content;
    for (int position = 1; position <= 66000; ++position) {
      content += (position % 6000 == 1000) ? "1\n" : "0\n";
    }
    return writeFile(name, content);
  }

  QTemporaryDir folder_;
};

TEST_F(BatchTool, FiguresOfKnownBeats) {
  const QString beats = writeElevenBeats();
  const ToolResult result = runTool({"--rr", "--guard=0.3", "--rhythm-y", "0.5", beats});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  const std::vector<std::string> out = lines(result.out);
  ASSERT_EQ(out.size(), 1u);
  const QJsonObject line = jsonObject(out[0]);

  EXPECT_EQ(line["file"].toString(), beats);
  EXPECT_TRUE(line["error"].isNull());
  const QJsonObject parameters = line["parameters"].toObject();
  EXPECT_EQ(parameters["Text1"].toString(), "0.4");  // the window's initial text
  EXPECT_EQ(parameters["Text2"].toString(), "0.3");
  EXPECT_EQ(parameters["Text4"].toString(), "0.5");
  EXPECT_EQ(parameters["Text9"].toString(), "1");

  const QJsonObject captions = line["captions"].toObject();
  EXPECT_EQ(captions["sam"].toString(), "66000");
  EXPECT_EQ(captions["TR"].toString(), " 11 c");
  EXPECT_EQ(captions["Label21"].toString(), " 9");
  EXPECT_EQ(captions["Label22"].toString(), "60");
  EXPECT_EQ(captions["Label16"].toString(), QString::fromUtf8("RRi+1,    с"));
  EXPECT_EQ(captions["Label8"].toString(), "9");
  EXPECT_EQ(captions["Text9"].toString(), "1");

  // Eleven peaks give nine analysed intervals; the last one is never formed.
  const QJsonArray rr = line["rr"].toArray();
  ASSERT_EQ(rr.size(), 9);
  for (const auto& interval : rr) EXPECT_EQ(interval.toDouble(), 6000);
}

TEST_F(BatchTool, CsvHasOneRowPerFile) {
  const QString beats = writeElevenBeats();
  const QString silent = writeFile("silent.txt", "0\n0\n0\n");
  const ToolResult csv = runTool({"--csv", beats, silent});
  ASSERT_EQ(csv.exitCode, 1);
  const std::vector<std::string> rows = lines(csv.out);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(
      rows[0],
      "file,sam,TR,Label21,Label22,Label16,Label8,Text9,error_kind,error_stage,error_message");
  // Fields with a comma or with blanks at their ends are quoted.
  EXPECT_EQ(rows[1], beats.toStdString() + ",66000,\" 11 c\",\" 9\",60,\"RRi+1,    с\",9,1,,,");
  // A run that stopped leaves the captions it did not reach as the window opened.
  EXPECT_TRUE(rows[2].starts_with(silent.toStdString() +
                                  ",3,\" \",,0,\"RRi+tau,    с\",0,1,subscript-out-of-range,"
                                  "showRhythmStatistics,"))
      << rows[2];
}

TEST_F(BatchTool, EveryKindOfErrorInItsLine) {
  const QString beats = writeElevenBeats();
  const QString silent = writeFile("silent.txt", "0\n0\n0\n0\n");
  const QString huge = writeFile("huge.txt", "0\n1e999\n0\n");
  struct Case {
    QStringList arguments;
    QString kind;
    QString stage;
  };
  const std::vector<Case> cases = {
      {{path("missing.txt")}, "cannot-open-file", "loadSampleFile"},
      {{folder_.path()}, "cannot-open-file", "loadSampleFile"},
      // The tool reads its own memory from address 0, which fails with EIO.
      {{"/proc/self/mem"}, "read-error", "loadSampleFile"},
      {{silent}, "subscript-out-of-range", "showRhythmStatistics"},
      {{huge}, "overflow", "detectPeaks"},
      {{"--guard", "1e308", beats}, "overflow", "readDetectionParameters"},
      {{"--tau", "abc", beats}, "type-mismatch", "plotIntervals"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const ToolResult result = runTool(c.arguments);
    EXPECT_EQ(result.exitCode, 1);
    const std::vector<std::string> out = lines(result.out);
    ASSERT_EQ(out.size(), 1u);
    const QJsonObject error = jsonObject(out[0])["error"].toObject();
    EXPECT_EQ(error["kind"].toString(), c.kind);
    EXPECT_EQ(error["stage"].toString(), c.stage);
    EXPECT_FALSE(error["message"].toString().isEmpty());
  }
}

// Files are independent: a stopped run neither ends the batch nor touches
// the next file's figures.
TEST_F(BatchTool, StoppedRunLeavesTheNextFileAlone) {
  const QString beats = writeElevenBeats();
  const ToolResult result = runTool({path("missing.txt"), beats});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "");  // no progress when standard error is no terminal
  const std::vector<std::string> out = lines(result.out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_FALSE(jsonObject(out[0])["error"].isNull());
  const QJsonObject second = jsonObject(out[1]);
  EXPECT_TRUE(second["error"].isNull());
  EXPECT_EQ(second["captions"].toObject()["Label8"].toString(), "9");
}

TEST_F(BatchTool, BadUsageRunsNothing) {
  const QString beats = writeElevenBeats();
  const std::vector<QStringList> cases = {
      {},
      {"--no-such-option", beats},
      {beats, "--threshold"},
      {"--threshold", "-1", beats},  // a text beginning with "-" needs "="
      {"--rr", "--csv", beats},
      {"--force=yes", beats},
      {"--svg", "", beats},
  };
  for (const QStringList& arguments : cases) {
    SCOPED_TRACE(arguments.join(' ').toStdString());
    const ToolResult result = runTool(arguments);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(lines(result.err).size(), 1u) << result.err;
  }
  const ToolResult help = runTool({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("xargs -P"), std::string::npos);

  const ToolResult negative = runTool({"--threshold=-1", "--", beats});
  EXPECT_EQ(negative.exitCode, 0) << negative.err;
  EXPECT_EQ(jsonObject(negative.out)["parameters"].toObject()["Text1"].toString(), "-1");
}

// The display lists are those of the same run in the library, and the SVG
// files are well-formed documents of each drawing area.
TEST_F(BatchTool, ChartFilesFollowTheLibrary) {
  const QString beats = writeElevenBeats();
  const QString charts = path("charts");
  const ToolResult result =
      runTool({"--display-list", charts, "--svg=" + charts, "--tau=2", beats});
  ASSERT_EQ(result.exitCode, 0) << result.err;

  EXPECT_EQ(readFile(charts + "/beats.json"), libraryDisplayLists(beats, "2"));

  const QStringList viewBoxes = {"0 0 3675 3795", "0 0 3555 3795", "0 0 3795 3675", "0 0 3555 3675",
                                 "0 0 3675 3795"};
  std::set<QString> lineStrokes;
  std::set<QString> circleStrokes;
  for (int n = 1; n <= 5; ++n) {
    SCOPED_TRACE(n);
    const std::string svg = readFile(charts + QStringLiteral("/beats-Picture%1.svg").arg(n));
    QXmlStreamReader reader(QByteArray::fromStdString(svg));
    int elements = 0;
    QString rootViewBox;
    while (!reader.atEnd()) {
      if (reader.readNext() != QXmlStreamReader::StartElement) continue;
      if (elements++ == 0) {
        EXPECT_EQ(reader.name(), QStringLiteral("svg"));
        rootViewBox = reader.attributes().value("viewBox").toString();
      }
      const QString stroke = reader.attributes().value("stroke").toString();
      if (n == 1 && reader.name() == QStringLiteral("line")) lineStrokes.insert(stroke);
      if (n == 1 && reader.name() == QStringLiteral("circle")) circleStrokes.insert(stroke);
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    EXPECT_EQ(rootViewBox, viewBoxes[n - 1]);
    EXPECT_GT(elements, 5);  // more than the frame of an empty document
  }
  // Colours are stored blue-green-red and written red-green-blue: the
  // rhythmogram's frame is red, its ticks blue and its points red.
  EXPECT_EQ(lineStrokes, std::set<QString>{"#ff0000"});
  EXPECT_EQ(circleStrokes, (std::set<QString>{"#0000ff", "#ff0000"}));
}

TEST_F(BatchTool, ExistingOutputsNeedForce) {
  const QString beats = writeElevenBeats();
  const QString charts = path("charts");
  ASSERT_EQ(runTool({"--display-list", charts, beats}).exitCode, 0);
  const QString list = charts + "/beats.json";
  writeFile("charts/beats.json", "kept");

  const ToolResult refused = runTool({"--display-list", charts, beats});
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_EQ(refused.out, "");  // refused before any run
  EXPECT_NE(refused.err.find("--force"), std::string::npos);
  EXPECT_EQ(readFile(list), "kept");

  const ToolResult forced = runTool({"--force", "--display-list", charts, beats});
  EXPECT_EQ(forced.exitCode, 0);
  EXPECT_TRUE(readFile(list).starts_with("{\"Picture1\":["));

  // Two inputs with one stem would overwrite each other's outputs.
  ASSERT_TRUE(QDir(folder_.path()).mkpath("other"));
  const QString twin = writeElevenBeats("other/beats.txt");
  EXPECT_EQ(runTool({"--force", "--display-list", path("more"), beats, twin}).exitCode, 2);
}

#if RRSCOPE_BATCH_HAS_WINDOW
TEST_F(BatchTool, WindowPicturesHaveTheWindowsSize) {
  const QString beats = writeElevenBeats();
  const QString pictures = path("pictures");
  const ToolResult withWindow = runTool({"--png", pictures, "--display-list", pictures, beats});
  ASSERT_EQ(withWindow.exitCode, 0) << withWindow.err;
  // The window computes the same figures and drawings as the run without it.
  EXPECT_EQ(withWindow.out, runTool({beats}).out);
  EXPECT_EQ(readFile(pictures + "/beats.json"), libraryDisplayLists(beats, "1"));

  EXPECT_EQ(QImage(pictures + "/beats.png").size(), QSize(1187, 657));
  // Picture boxes at their outer size, 15 twips a pixel.
  const std::vector<QSize> boxes = {{249, 257}, {241, 257}, {257, 249}, {241, 249}, {249, 257}};
  for (int n = 1; n <= 5; ++n) {
    EXPECT_EQ(QImage(pictures + QStringLiteral("/beats-Picture%1.png").arg(n)).size(),
              boxes[n - 1]);
  }
}
#endif

}  // namespace
}  // namespace rrscope
