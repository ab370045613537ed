// End-to-end tests of rrscope-batch: the built program runs on small files
// made here, and its output is read back.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QImage>
#include <QXmlStreamReader>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "batch_tool_runner.h"
#include "charts/display_list_json.h"
#include "charts/recording_window.h"
#include "charts/run.h"
#include "tests/core/bounded_child.h"

namespace rrscope {
namespace {

using test::lines;
using test::namesIn;
using test::readFile;
using test::runTool;
using test::ToolResult;

// Runs the tool on arguments that need not be text, such as file names
// that are not UTF-8, which QProcess cannot pass; standard output goes to
// `outFile`.
int runToolRaw(std::vector<std::string> arguments, const std::string& outFile,
               rlim_t addressSpace = RLIM_INFINITY) {
  arguments.insert(arguments.begin(), RRSCOPE_BATCH_TOOL);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(out, STDOUT_FILENO);
    const rlimit limit{addressSpace, addressSpace};
    ::setrlimit(RLIMIT_AS, &limit);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The display lists of a Command1 run in the library, as the tool writes them.
std::string libraryDisplayLists(const QString& file, std::string_view tau) {
  charts::RecordingWindow window;
  window.setText(analysis::TextBox::Text9, tau);
  window.setNextFile(file.toStdString());
  analysis::AnalysisState state;
  EXPECT_FALSE(charts::runAnalysis(charts::RunEntry::command1, state, window));
  std::array<const charts::DisplayList*, 5> lists{};
  for (std::size_t i = 0; i < lists.size(); ++i) {
    lists[i] = &window.displayList(static_cast<analysis::Picture>(i));
  }
  return charts::displayListsJson(lists) + "\n";
}

class BatchTool : public test::ToolTest {
 protected:
  // Eleven single-sample R peaks at 1000, 7000, ..., 61000 in 66000 samples:
  // one second between beats.
  QString writeElevenBeats(const QString& name = QStringLiteral("beats.txt")) const {
    std::set<int> peaks;
    for (int peak = 1000; peak <= 61000; peak += 6000) peaks.insert(peak);
    return writeSpikes(name, 66000, peaks);
  }
};

TEST_F(BatchTool, FiguresOfKnownBeats) {
  const QString beats = writeElevenBeats();
  const ToolResult result = runTool({"--rr", "--guard=0.3", "--rhythm-y", "0.5", beats});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  ASSERT_EQ(result.json().size(), 1u);
  const nlohmann::json line = result.json()[0];

  EXPECT_EQ(line["file"], beats.toStdString());
  EXPECT_TRUE(line["error"].is_null());
  // The window's initial texts, but for the options given.
  EXPECT_EQ(line["parameters"], nlohmann::json({{"Text1", "0.4"},
                                                {"Text2", "0.3"},
                                                {"Text3", "0.03"},
                                                {"Text4", "0.5"},
                                                {"Text5", "0.5"},
                                                {"Text6", "0.5"},
                                                {"Text7", "500"},
                                                {"Text8", "0.05"},
                                                {"Text9", "1"}}));

  // Every caption; their texts for this file are checked in its CSV row.
  std::vector<std::string> captions;
  for (const auto& item : line["captions"].items()) captions.push_back(item.key());
  EXPECT_EQ(captions, (std::vector<std::string>{"Label16", "Label21", "Label22", "Label8", "TR",
                                                "Text9", "sam"}));

  // Eleven peaks give nine analysed intervals; the last one is never formed.
  EXPECT_EQ(line["rr"], nlohmann::json(std::vector<double>(9, 6000)));
}

// Files are independent: a run that stopped neither ends the batch nor
// touches the next file's figures.
TEST_F(BatchTool, CsvHasOneRowPerFile) {
  const QString beats = writeElevenBeats();
  const QString silent = writeFile("silent.txt", "0\n0\n0\n");
  const ToolResult csv = runTool({"--csv", silent, beats});
  ASSERT_EQ(csv.exitCode, 1);
  EXPECT_EQ(csv.err, "");  // no progress when standard error is no terminal
  const std::vector<std::string> rows = lines(csv.out);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0],
            "file,sam,TR,Label21,Label22,Label16,Label8,Text9,error_kind,error_stage,error_message,"
            "samples,recording_s,observation_s,window_mean_hr_bpm,intervals");
  // A run that stopped leaves the captions it did not reach as the window opened.
  EXPECT_TRUE(rows[1].starts_with(silent.toStdString() +
                                  ",3,\" \",,0,\"RRi+tau,    с\",0,1,subscript-out-of-range,"
                                  "showRhythmStatistics,"))
      << rows[1];
  // Fields with a comma or with blanks at their ends are quoted.
  EXPECT_EQ(rows[2], beats.toStdString() +
                         ",66000,\" 11 c\",\" 9\",60,\"RRi+1,    с\",9,1,,,,66000,11,9,60,9");
}

TEST_F(BatchTool, EveryKindOfErrorInItsLine) {
  const QString beats = writeElevenBeats();
  const QString silent = writeFile("silent.txt", "0\n0\n0\n0\n");
  const QString huge = writeFile("huge.txt", "0\n1e999\n0\n");
  struct Case {
    QStringList arguments;
    QString kind;
    QString stage;
    QString message;
  };
  // The messages name the options and files the user gave, never a control.
  // Each stage that can stop a text file once; the kinds of unreadable
  // files are the loader's own tests.
  const std::vector<Case> cases = {
      {{path("missing.txt")},
       "cannot-open-file",
       "loadSampleFile",
       "\"" + path("missing.txt") + "\" cannot be opened (No such file or directory)"},
      {{silent},
       "subscript-out-of-range",
       "showRhythmStatistics",
       "lower --threshold (now \"0.4\")"},
      {{huge}, "overflow", "detectPeaks", "the sample on line 2 (\"1e999\")"},
      {{"--guard", "1e308", beats}, "overflow", "readDetectionParameters", "--guard \"1e308\""},
      {{"--tau", "abc", beats}, "type-mismatch", "plotIntervals", "--tau \"abc\" is not a number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const ToolResult result = runTool(c.arguments);
    EXPECT_EQ(result.exitCode, 1);
    ASSERT_EQ(result.json().size(), 1u);
    const nlohmann::json error = result.json()[0]["error"];
    EXPECT_EQ(error["kind"], c.kind.toStdString());
    EXPECT_EQ(error["stage"], c.stage.toStdString());
    EXPECT_NE(error["message"].get<std::string>().find(c.message.toStdString()), std::string::npos)
        << result.out;
  }
}

// A name that is not UTF-8 reaches the line and the row with each bad byte
// as U+FFFD, so both stay valid UTF-8 and the line valid JSON, even where
// an error message quotes the name.
TEST_F(BatchTool, NamesThatAreNotUtf8StayValid) {
  const std::string folder = folder_.path().toStdString();
  const std::string badName = folder + "/beats-\xFF\xC3(.txt";
  const std::string shownName = folder + "/beats-\uFFFD\uFFFD(.txt";
  std::filesystem::copy_file(writeElevenBeats().toStdString(), badName);
  const std::string missing = folder + "/gone-\xE2\x82";
  const std::string outFile = folder + "/out.txt";

  ASSERT_EQ(runToolRaw({badName, missing}, outFile), 1);
  const std::vector<std::string> out = lines(readFile(QString::fromStdString(outFile)));
  ASSERT_EQ(out.size(), 2u);
  const nlohmann::json first = nlohmann::json::parse(out[0]);  // throws on invalid UTF-8
  EXPECT_EQ(first["file"], shownName);
  EXPECT_TRUE(first["error"].is_null());
  const nlohmann::json second = nlohmann::json::parse(out[1]);
  EXPECT_EQ(second["error"]["kind"], "cannot-open-file");
  EXPECT_NE(second["error"]["message"].get<std::string>().find("gone-\uFFFD"), std::string::npos);

  ASSERT_EQ(runToolRaw({"--csv", badName}, outFile), 0);
  const std::vector<std::string> rows = lines(readFile(QString::fromStdString(outFile)));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_TRUE(rows[1].starts_with(shownName + ",66000,")) << rows[1];
}

// A file too large for the memory gets its line and the batch goes on.
TEST_F(BatchTool, OutOfMemoryStopsOnlyItsFile) {
  if (!test::kAddressSpaceCanBeBounded) GTEST_SKIP() << "this build cannot bound its memory";
  const std::string large = path("large.txt").toStdString();
  std::ofstream(large).put('0');
  std::filesystem::resize_file(large, std::uintmax_t{1} << 30);  // its size alone is too much
  const std::string outFile = path("out.txt").toStdString();
  const std::string beats = writeElevenBeats().toStdString();

  // Far more than the tool needs for the eleven beats; less than the large file asks for.
  ASSERT_EQ(runToolRaw({large, beats}, outFile, rlim_t{224} << 20), 1);
  const std::vector<std::string> out = lines(readFile(QString::fromStdString(outFile)));
  ASSERT_EQ(out.size(), 2u);
  const nlohmann::json error = nlohmann::json::parse(out[0])["error"];
  EXPECT_EQ(error["kind"], "out-of-memory");
  EXPECT_EQ(error["stage"], "loadSampleFile");
  EXPECT_TRUE(nlohmann::json::parse(out[1])["error"].is_null());
}

// Usage is checked before any file is read, so the recording need not exist.
TEST_F(BatchTool, BadUsageRunsNothing) {
  const QString beats = writeElevenBeats();
  const QString record = path("rec.hea");
  const QString charts = path("charts");
  // Unknown or incomplete options (a text beginning with "-" needs "="),
  // beat options that contradict each other or the output, files of RR
  // intervals with sample options, windows and detrending that are no such,
  // recording options on text files, text options on recordings, and one
  // table of both.
  const std::vector<QStringList> cases = {{},
                                          {"--no-such-option", beats},
                                          {beats, "--threshold"},
                                          {"--threshold", "-1", beats},
                                          {"--rr", "--csv", beats},
                                          {"--force=yes", beats},
                                          {"--svg", "", beats},
                                          {"--detector=fast", beats},
                                          {"--reference=a", "--reference-suffix=.b", beats},
                                          {"--reference=", beats},
                                          {"--match-window=0", "--reference=a", beats},
                                          {"--csv", "--peaks", beats},
                                          {"--detector=pan-tompkins", "--svg", charts, beats},
                                          {"--input=rr", "--svg", charts, beats},
                                          {"--input=rr", "--rr", beats},
                                          {"--input=ecg", beats},
                                          {"--input=rr", "--windows", "300", beats},
                                          {"--input=rr", "--windows", "0:30", beats},
                                          {"--input=rr", "--windows", "300:-1", beats},
                                          {"--input=rr", "--lambda", "0", beats},
                                          {"--input=rr", "--detrend", "linear", beats},
                                          {"--beats", record},
                                          {"--signal", "0", beats},
                                          {"--leads=all", beats},
                                          {"--leads=two", record},
                                          {"--rr", record},
                                          {"--csv", record, beats}};
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
  EXPECT_EQ(negative.json().at(0)["parameters"]["Text1"], "-1");
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

  test::expectUsageError(runTool({"--display-list", charts, beats}), "--force");
  EXPECT_EQ(readFile(list), "kept");

  const ToolResult forced = runTool({"--force", "--display-list", charts, beats});
  EXPECT_EQ(forced.exitCode, 0);
  EXPECT_TRUE(readFile(list).starts_with("{\"Picture1\":["));

  // Two inputs with one stem would overwrite each other's outputs.
  ASSERT_TRUE(QDir(folder_.path()).mkpath("other"));
  const QString twin = writeElevenBeats("other/beats.txt");
  EXPECT_EQ(runTool({"--force", "--display-list", path("more"), beats, twin}).exitCode, 2);
}

// The options that write files, each with the name of the first file it
// writes for beats.txt.
std::vector<std::pair<QString, std::string>> outputOptions() {
  std::vector<std::pair<QString, std::string>> options = {{"--display-list", "beats.json"},
                                                          {"--svg", "beats-Picture1.svg"}};
#if RRSCOPE_BATCH_HAS_WINDOW
  options.emplace_back("--png", "beats.png");
#endif
  return options;
}

// An output that cannot replace the file in its place leaves that in place,
// reports why in the file's line and on standard error, and the next file
// still runs.
TEST_F(BatchTool, UnwritableOutputIsReportedInTheLine) {
  const QString beats = writeElevenBeats();
  const QString second = writeElevenBeats("second.txt");
  const std::string charts = path("charts").toStdString();
  for (const auto& [option, first] : outputOptions()) {
    SCOPED_TRACE(option.toStdString());
    std::filesystem::create_directories(charts + "/" + first + "/inside");
    const std::set<std::string> before = namesIn(charts);

    const ToolResult result =
        runTool({"--force", option, QString::fromStdString(charts), beats, second});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("Is a directory"), std::string::npos) << result.err;
    ASSERT_EQ(result.json().size(), 2u);
    const nlohmann::json error = result.json()[0]["error"];
    EXPECT_EQ(error["kind"], "cannot-write");
    EXPECT_EQ(error["stage"], "writeOutputs");
    const std::string message = error["message"];
    EXPECT_NE(message.find(first), std::string::npos) << message;
    EXPECT_NE(message.find("Is a directory"), std::string::npos) << message;
    EXPECT_TRUE(result.json()[1]["error"].is_null());

    EXPECT_TRUE(std::filesystem::exists(charts + "/" + first + "/inside"));
    std::set<std::string> after = namesIn(charts);
    for (const std::string& name : before) after.erase(name);
    for (const std::string& name : after) EXPECT_TRUE(name.starts_with("second")) << name;
    std::filesystem::remove_all(charts);
  }
}

// A small file system of its own, unmounted at the end.
struct SmallFileSystem {
  explicit SmallFileSystem(const std::string& folder) : dir(folder) {
    std::filesystem::create_directories(dir);
    if (::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=4m") != 0) error = std::strerror(errno);
  }
  ~SmallFileSystem() {
    if (error.empty()) ::umount2(dir.c_str(), MNT_DETACH);
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;

  const std::string dir;
  std::string error;
};

// On a full disk each output keeps its old file and leaves no new one
// behind, and the error names the system's reason; once there is room the
// same command replaces the old file.
TEST_F(BatchTool, FullDiskKeepsTheOldOutputs) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  const std::string disk = path("disk").toStdString();
  const SmallFileSystem small(disk);
  if (!small.error.empty()) GTEST_SKIP() << "cannot mount a tmpfs: " << small.error;

  const QString beats = writeElevenBeats();
  for (const auto& [option, first] : outputOptions()) {
    SCOPED_TRACE(option.toStdString());
    const std::string old = disk + "/" + first;
    std::ofstream(old) << "kept";
    std::ofstream(disk + "/filler") << std::string(8 << 20, 'x');  // takes every byte left
    const std::set<std::string> before = namesIn(disk);

    const ToolResult full = runTool({"--force", option, QString::fromStdString(disk), beats});
    EXPECT_EQ(full.exitCode, 2);
    EXPECT_NE(full.err.find("No space left on device"), std::string::npos) << full.err;
    ASSERT_EQ(full.json().size(), 1u);
    EXPECT_EQ(full.json()[0]["error"]["kind"], "cannot-write");
    EXPECT_EQ(readFile(QString::fromStdString(old)), "kept");
    EXPECT_EQ(namesIn(disk), before);

    std::filesystem::remove(disk + "/filler");
    const ToolResult roomy = runTool({"--force", option, QString::fromStdString(disk), beats});
    EXPECT_EQ(roomy.exitCode, 0) << roomy.err;
    EXPECT_NE(readFile(QString::fromStdString(old)), "kept");
    for (const std::string& name : namesIn(disk)) EXPECT_FALSE(name.starts_with(".")) << name;
  }
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
  // Picture boxes at their outer size, as the layout test places them.
  EXPECT_EQ(QImage(pictures + "/beats-Picture3.png").size(), QSize(257, 249));
}
#endif

}  // namespace
}  // namespace rrscope
