// The file road on real files and through a file system that fails on demand.
#include "pipeline/file_road.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sys/resource.h>

#include <csignal>

#include "support/language_samples.h"
#include "pipeline/support/road_fakes.h"
#include "support/engine_test.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;
using namespace lumivex::testing;
using Op = FaultyFileSystem::Op;

// utf8 in the iconv character set charset.
std::string In(const char* charset, std::string_view utf8) { return EncodeAs(charset, utf8); }

const std::string kFileErrorBox =
    "File Error|Can't perform one of the following file operations: Open, Seek, Read, Close.";

// FF FE and utf8 as UTF-16LE, as the road writes a file.
std::string Utf16Le(std::string_view utf8) { return In("UTF-16LE", "\uFEFF" + std::string(utf8)); }

class RoadTest : public EngineTest {
 protected:
  RoadTest() {
    engine.messages = &messages;
    // The rule phases have their own tests; the road needs only the pre-pass.
    for (const char* gate : {"chkOrderSelect", "chkOrderModify", "chkFixReturn"}) settings.Set(gate, false);
  }
  RoadOutcome Convert(const std::string& path, FileSystem& files = RealFileSystem()) { return ConvertFileRoad(engine, path, files); }
  fs::path Backup(const std::string& name) const { return dir.path() / "BackUp" / name; }

  RoadTempDir dir;
  RoadMessages messages;
};

// The source: text in charset ("": as written), a leading U+FEFF its mark; expected is UTF-8.
struct RewriteCase {
  const char* name;
  const char* charset;
  std::string text, expected;
  std::string Source() const { return *charset ? In(charset, text) : text; }
};

class RoadRewriteTest : public RoadTest, public ::testing::WithParamInterface<RewriteCase> {};

TEST_P(RoadRewriteTest, RewritesAsUtf16LeAndBacksUp) {
  const std::string path = dir.Write("a.mq4", GetParam().Source());
  EXPECT_EQ(Convert(path), RoadOutcome::Rewritten);
  EXPECT_EQ(ReadBytes(path), Utf16Le(GetParam().expected));
  EXPECT_EQ(ReadBytes(Backup("a.mq4")), GetParam().Source());
  EXPECT_TRUE(messages.boxes.empty());
}

const std::string kRu = "// Привет мир, это тест программы для торговли\r\nb = TRUE;\r\n";
const std::string kJa = "// あいうえお テストです〜\r\nb = TRUE;\r\n";
INSTANTIATE_TEST_SUITE_P(
    Sets, RoadRewriteTest,
    ::testing::Values(
        RewriteCase{"ShiftJis", "CP932", kJa, "// あいうえお テストです～\r\nb = true;\r\n"},
        RewriteCase{"CarriageReturnsOnly", "", "int x;\rb = TRUE;\r", "int x;\r\nb = true;\r\n"},
        RewriteCase{"Utf16LeWithMark", "UTF-16LE", "\uFEFFb = TRUE; // あ\n", "b = true; // あ\r\n"},
        RewriteCase{"Utf16BeWithMark", "UTF-16BE", "\uFEFFb = TRUE; // あ\n", "b = true; // あ\r\n"},
        RewriteCase{"Utf16LeWithoutMark", "UTF-16LE", "int x;\nb = TRUE;\n", "int x;\r\nb = true;\r\n"},
        RewriteCase{"Utf8WithSignature", "", "\xEF\xBB\xBF// あ\nb = TRUE;", "// あ\r\nb = true;\r\n"},
        RewriteCase{"EucJp", "EUC-JP", kJa, "// あいうえお テストです～\r\nb = true;\r\n"},
        RewriteCase{"Windows1251", "CP1251", kRu, kRu.substr(0, kRu.size() - 7) + "true;\r\n"},
        RewriteCase{"MixedLineEnds", "", "a;\r\nb = TRUE;\rc;\n\rd;\r\r\n", "a;\r\nb = true;c;\r\nd;\r\n"},
        RewriteCase{"YenAndOverlineInUtf16", "UTF-16LE", "\uFEFFs = \"¥‾\"; b = TRUE;\n", "s = \"¥‾\"; b = true;\r\n"},
        // Not UTF-8 (a byte E9 before a blank): read as what it is.
        RewriteCase{"Windows1252", "", "// caf\xe9 \xe0 la cr\xe8me\nb = TRUE;", "// café à la crème\r\nb = true;\r\n"}),
    [](const auto& info) { return info.param.name; });

TEST_F(RoadTest, ResultFollowsTextChanged) {
  // Same text out as in, but finding "://" counts as a change.
  EXPECT_TRUE(ConvertOneFile(engine, dir.Write("a.mq4", "// http://x\r\nint x;\r\n")));
  // OnInit() inserted, but nothing set the flag.
  EXPECT_FALSE(ConvertOneFile(engine, dir.Write("b.mq4", "int start()\r\n{\r\nreturn(0);\r\n}\r\n")));
}

std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Finding "://" counts as a change every time; the bytes decide.
TEST_F(RoadTest, AConvertedFileConvertedAgainIsUnchanged) {
  const std::string path = dir.Write("a.mq4", "// http://x\r\nb = TRUE;\r\n");
  ASSERT_EQ(Convert(path), RoadOutcome::Rewritten);
  const std::string converted = ReadBytes(path);
  EXPECT_EQ(Convert(path), RoadOutcome::Unchanged);
  EXPECT_TRUE(engine.TextChanged);
  EXPECT_EQ(ReadBytes(path), converted);
  EXPECT_EQ(Listing(dir.path() / "BackUp"), std::vector<std::string>{"a.mq4"});
  EXPECT_TRUE(messages.boxes.empty());
}

// A disk that fills up while the backup is written: no backup, no rewrite.
TEST_F(RoadTest, ABackupCutShortIsRemovedAndStopsTheRoad) {
  const std::string source = "b = TRUE;\r\n" + std::string(4000, 'x') + "\r\n";
  const std::string path = dir.Write("a.mq4", source);
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto* handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit tiny = saved;
  tiny.rlim_cur = 1000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
  const RoadOutcome outcome = Convert(path);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, handler);
  EXPECT_EQ(outcome, RoadOutcome::BackupFailed);
  EXPECT_EQ(messages.boxes, std::vector{kFileErrorBox});
  EXPECT_EQ(Listing(dir.path() / "BackUp"), std::vector<std::string>{});
  EXPECT_EQ(ReadBytes(path), source);
}

TEST_F(RoadTest, BackupNamesCountUp) {
  for (int run = 0; run < 3; ++run) ASSERT_TRUE(ConvertFile(engine, dir.Write("a.mq4", "b = TRUE;")));
  for (const char* name : {"a.mq4", "a.BK1", "a.BK2"}) EXPECT_EQ(ReadBytes(Backup(name)), "b = TRUE;");
  settings.Set("chkBackup", false);
  ASSERT_TRUE(ConvertFile(engine, dir.Write("a.mq4", "b = TRUE;")));
  EXPECT_FALSE(fs::exists(Backup("a.BK3")));
}

// A read-only source loses only its read-only state; a link stays a link and its target changes.
TEST_F(RoadTest, ReadOnlyAndSymlinkedSourcesAreRewrittenInPlace) {
  const std::string target = dir.Write("real.mq4", "b = TRUE;\r\n");
  ASSERT_EQ(::chmod(target.c_str(), 0440), 0);
  const fs::path link = dir.path() / "a.mq4";
  fs::create_symlink(target, link);
  EXPECT_EQ(Convert(link.string()), RoadOutcome::Rewritten);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadBytes(target), Utf16Le("b = true;\r\n"));
  EXPECT_EQ(ReadBytes(Backup("a.mq4")), "b = TRUE;\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(RoadTest, TwentyMegabyteFileConverts) {
  std::string source = "b = TRUE;\r\n";
  while (source.size() < 20u * 1024 * 1024) source += "// " + std::string(2000, 'x') + "\r\n";
  ASSERT_EQ(Convert(dir.Write("big.mq4", source)), RoadOutcome::Rewritten);
  EXPECT_EQ(ReadBytes(dir.path() / "big.mq4").substr(0, 2 + 2 * 15), Utf16Le("b = true;\r\n// x"));
  EXPECT_EQ(ReadBytes(Backup("big.mq4")), source);
}

// Bad input and failing file operations: a clear outcome, the source untouched.
enum class Setup { kFile, kFolder, kBackupBlocked };

struct ErrorCase {
  const char* name;
  std::string source;
  RoadOutcome outcome;
  Setup setup = Setup::kFile;
  Op fault = Op::None;
  bool throws = false;
};

class RoadErrorTest : public RoadTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(RoadErrorTest, SourceUntouched) {
  const ErrorCase& c = GetParam();
  const std::string path = (dir.path() / "a.mq4").string();
  if (c.setup == Setup::kFolder) fs::create_directory(path);
  if (c.setup == Setup::kFile || c.setup == Setup::kBackupBlocked) dir.Write("a.mq4", c.source);
  // A file where the folder should be, as a read-only folder would be (root writes into those).
  if (c.setup == Setup::kBackupBlocked) dir.Write("BackUp", "in the way");
  FaultyFileSystem files(c.fault, c.throws);

  EXPECT_EQ(Convert(path, files), c.outcome);
  const bool quiet = c.outcome == RoadOutcome::Unchanged || c.outcome == RoadOutcome::NotAFile;
  EXPECT_EQ(messages.boxes, quiet ? std::vector<std::string>{} : std::vector{kFileErrorBox});
  if (c.setup == Setup::kFile) { EXPECT_EQ(ReadBytes(path), c.source); }
  if (c.outcome != RoadOutcome::WriteFailed) { EXPECT_FALSE(fs::exists(Backup("a.mq4"))); }
  EXPECT_EQ(files.called.contains(Op::ReplaceContents), c.outcome == RoadOutcome::WriteFailed);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, RoadErrorTest,
    ::testing::Values(
        ErrorCase{"Empty", "", RoadOutcome::Unchanged},
        ErrorCase{"Binary", std::string("\x7f" "ELF\x02\x01\0\0TRUE\0\x03\0", 15), RoadOutcome::NotText},
        ErrorCase{"ZeroUnitInsideUtf16", Utf16Le(std::string("b=TRUE;\0x;", 10)), RoadOutcome::NotText},
        ErrorCase{"OddLengthUtf16", Utf16Le("b = TRUE;\r\n") + "x", RoadOutcome::NotText},
        ErrorCase{"MalformedUtf8WithSignature", "\xEF\xBB\xBF// \xC3\x28\nb = TRUE;", RoadOutcome::NotText},
        // EUC-JP by its kana, with bytes EUC-JP cannot read: no blanks in their place.
        ErrorCase{"NotEucJp", In("EUC-JP", "// 買い注文の条件をチェックする\r\n") + "b = TRUE; // \xAE\xAE\r\n", RoadOutcome::NotText},
        ErrorCase{"Folder", "", RoadOutcome::NotAFile, Setup::kFolder},
        ErrorCase{"BackupFolderBlocked", "b = TRUE;", RoadOutcome::BackupFailed, Setup::kBackupBlocked},
        ErrorCase{"ReadFails", "b = TRUE;", RoadOutcome::ReadFailed, Setup::kFile, Op::ReadAll},
        ErrorCase{"ReadThrows", "b = TRUE;", RoadOutcome::ReadFailed, Setup::kFile, Op::ReadAll, true},
        ErrorCase{"EveryBackupNameTaken", "b = TRUE;", RoadOutcome::BackupFailed, Setup::kFile, Op::Exists},
        ErrorCase{"CopyThrows", "b = TRUE;", RoadOutcome::BackupFailed, Setup::kFile, Op::WriteNewFile, true},
        ErrorCase{"WriteFails", "b = TRUE;", RoadOutcome::WriteFailed, Setup::kFile, Op::ReplaceContents}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace lumivex
