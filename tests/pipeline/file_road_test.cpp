// The file road on real files in a temporary folder, and its error paths
// through a file system that fails on demand.
#include "pipeline/file_road.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

#include "pipeline/support/road_fakes.h"
#include "support/fake_settings.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;
using namespace lumivex::testing;
using Op = FaultyFileSystem::Op;

const std::string kFileErrorBox =
    "File Error|Can't perform one of the following file operations: Open, Seek, Read, Close.";
const std::string kSjis =  // "// あいうえお テストです"
    "// \x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8 \x83\x65\x83\x58\x83\x67\x82\xc5\x82\xb7\r\n";

class RoadTest : public ::testing::Test {
 protected:
  RoadTest() {
    engine.settings = &settings;
    engine.messages = &messages;
    // The rule phases have their own tests; the road needs only the pre-pass.
    for (const char* gate : {"chkOrderSelect", "chkOrderModify", "chkFixReturn",
                             "chkExpressionsNotAllowedGlobalScope"})
      settings.Set(gate, false);
  }
  RoadOutcome Convert(const std::string& path, FileSystem& files = RealFileSystem()) {
    return ConvertFileRoad(engine, path, files);
  }
  fs::path Backup(const std::string& name) const { return dir.path() / "BackUp" / name; }

  RoadTempDir dir;
  FakeSettings settings;
  RoadMessages messages;
  Engine engine;
};

// ---- rewrites in every character set, backed up as they were ----------------------

struct RewriteCase {
  const char* name;
  std::string source;
  std::string output;
};

class RoadRewriteTest : public RoadTest, public ::testing::WithParamInterface<RewriteCase> {};

TEST_P(RoadRewriteTest, RewritesAsUtf16LeAndBacksUp) {
  const std::string path = dir.Write("a.mq4", GetParam().source);
  EXPECT_EQ(Convert(path), RoadOutcome::Rewritten);
  EXPECT_EQ(ReadBytes(path), GetParam().output);
  EXPECT_EQ(ReadBytes(Backup("a.mq4")), GetParam().source);
  EXPECT_TRUE(messages.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sets, RoadRewriteTest,
    ::testing::Values(
        RewriteCase{"ShiftJis", kSjis + "b = TRUE;\r\n",
                    Utf16Le(u"// あいうえお テストです\r\nb = true;\r\n")},
        RewriteCase{"LineFeedsOnly", "int x;\nb = TRUE;\n", Utf16Le(u"int x;\r\nb = true;\r\n")},
        RewriteCase{"CarriageReturnsOnly", "int x;\rb = TRUE;\r",
                    Utf16Le(u"int x;\r\nb = true;\r\n")},
        RewriteCase{"Utf16LeWithMark", Utf16Le(u"b = TRUE; // あ\r\n"),
                    Utf16Le(u"b = true; // あ\r\n")},
        RewriteCase{"Utf16BeWithMark", Utf16Be(u"b = TRUE;\r\n"), Utf16Le(u"b = true;\r\n")},
        RewriteCase{"Utf16LeWithoutMark", Utf16Le(u"int x;\r\nb = TRUE;\r\n", false),
                    Utf16Le(u"int x;\r\nb = true;\r\n")},
        RewriteCase{"Utf16BeWithoutMark", Utf16Be(u"int x;\r\nb = TRUE;\r\n", false),
                    Utf16Le(u"int x;\r\nb = true;\r\n")},
        RewriteCase{"Utf8WithSignature", "\xEF\xBB\xBF// \xE3\x81\x82\r\nb = TRUE;\r\n",
                    Utf16Le(u"// あ\r\nb = true;\r\n")},
        RewriteCase{"Utf8",
                    "// \xE3\x81\x82\xE3\x81\x84\xE3\x81\x86 "
                    "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\r\nb = TRUE;",
                    Utf16Le(u"// あいう テスト\r\nb = true;\r\n")},
        RewriteCase{"EucJp",
                    "// \xa4\xa2\xa4\xa4\xa4\xa6\xa4\xa8\xa4\xaa "
                    "\xa5\xc6\xa5\xb9\xa5\xc8\xa4\xc7\xa4\xb9\r\n"
                    "b = TRUE;\r\n",
                    Utf16Le(u"// あいうえお テストです\r\nb = true;\r\n")},
        RewriteCase{
            "Windows1251",
            "// \xcf\xf0\xe8\xe2\xe5\xf2 \xec\xe8\xf0, \xfd\xf2\xee \xf2\xe5\xf1\xf2 \xef\xf0\xee"
            "\xe3\xf0\xe0\xec\xec\xfb \xe4\xeb\xff \xf2\xee\xf0\xe3\xee\xe2\xeb\xe8\r\nb = "
            "TRUE;\r\n",
            Utf16Le(u"// Привет мир, это тест программы для торговли\r\nb = true;\r\n")},
        RewriteCase{
            "Gbk",
            "// \xc4\xe3\xba\xc3\xca\xc0\xbd\xe7\xa3\xac\xd5\xe2\xca\xc7\xd2\xbb\xb8\xf6\xb2\xe2"
            "\xca\xd4\xb3\xcc\xd0\xf2\r\nb = TRUE;\r\n",
            Utf16Le(u"// 你好世界，这是一个测试程序\r\nb = true;\r\n")},
        // Malformed UTF-8 is no UTF-8: its bytes come through as Latin-1 characters.
        RewriteCase{"MalformedUtf8", "// caf\xc3\xa9 \xc3\x28 x\r\nb = TRUE;\r\n",
                    Utf16Le(u"// cafÃ© Ã( x\r\nb = true;\r\n")}),
    [](const auto& info) { return info.param.name; });

// ---- what decides a rewrite ------------------------------------------------------

TEST_F(RoadTest, UnchangedFileIsLeftAlone) {
  const std::string path = dir.Write("a.mq4", kSjis + "int x;\r\n");
  EXPECT_FALSE(ConvertFile(engine, path));
  EXPECT_EQ(ReadBytes(path), kSjis + "int x;\r\n");
  EXPECT_FALSE(fs::exists(dir.path() / "BackUp"));
}

// The flag decides, not a comparison of the texts.
TEST_F(RoadTest, ResultFollowsTextChanged) {
  // Same text out as in, but finding "://" counts as a change.
  EXPECT_TRUE(ConvertOneFile(engine, dir.Write("a.mq4", "// http://x\r\nint x;\r\n")));
  // OnInit() inserted, but nothing set the flag.
  EXPECT_FALSE(
      ConvertOneFile(engine, dir.Write("b.mq4", "int start()\r\n{\r\nreturn(0);\r\n}\r\n")));
}

TEST_F(RoadTest, BackupNamesCountUp) {
  for (int run = 0; run < 3; ++run)
    ASSERT_TRUE(ConvertFile(engine, dir.Write("a.mq4", "b = TRUE;")));
  for (const char* name : {"a.mq4", "a.BK1", "a.BK2"})
    EXPECT_EQ(ReadBytes(Backup(name)), "b = TRUE;");
  EXPECT_FALSE(fs::exists(Backup("a.BK3")));
  settings.Set("chkBackup", false);
  ASSERT_TRUE(ConvertFile(engine, dir.Write("a.mq4", "b = TRUE;")));
  EXPECT_FALSE(fs::exists(Backup("a.BK3")));
}

TEST_F(RoadTest, ReadOnlySourceIsRewrittenAndKeepsItsOtherBits) {
  const std::string path = dir.Write("a.mq4", "b = TRUE;\r\n");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_EQ(Convert(path), RoadOutcome::Rewritten);
  EXPECT_EQ(ReadBytes(path), Utf16Le(u"b = true;\r\n"));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST_F(RoadTest, SymlinkedSourceIsRewrittenThroughItsLink) {
  const std::string target = dir.Write("real.mq4", "b = TRUE;\r\n");
  const fs::path link = dir.path() / "a.mq4";
  fs::create_symlink(target, link);
  EXPECT_EQ(Convert(link.string()), RoadOutcome::Rewritten);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadBytes(target), Utf16Le(u"b = true;\r\n"));
  EXPECT_EQ(ReadBytes(Backup("a.mq4")), "b = TRUE;\r\n");
}

TEST_F(RoadTest, TwentyMegabyteFileConverts) {
  std::string source = "b = TRUE;\r\n";
  while (source.size() < 20u * 1024 * 1024)
    source +=
        "   double ma = iMA(NULL, 0, 14, 0, MODE_SMA, PRICE_CLOSE, i) * 2.0 + iMA(NULL, 0, 28, 0, "
        "MODE_EMA, PRICE_CLOSE, i); // the average of the two averages\r\n";
  const std::string path = dir.Write("big.mq4", source);
  ASSERT_EQ(Convert(path), RoadOutcome::Rewritten);
  const std::string out = ReadBytes(path);
  EXPECT_EQ(out.size(), 2 + 2 * source.size());
  EXPECT_EQ(out.substr(0, 2 + 2 * 15), Utf16Le(u"b = true;\r\n   d"));
  EXPECT_EQ(ReadBytes(Backup("big.mq4")), source);
}

// ---- bad input and failing file operations: a clear outcome, nothing lost ------------

enum class Setup { kFile, kFolder, kMissing, kBackupBlocked };

struct ErrorCase {
  const char* name;
  std::string source;
  RoadOutcome outcome;
  Setup setup = Setup::kFile;
  std::optional<Op> fault = std::nullopt;
  bool throws = false;
};

class RoadErrorTest : public RoadTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(RoadErrorTest, SourceUntouched) {
  const ErrorCase& c = GetParam();
  const std::string path = (dir.path() / "a.mq4").string();
  if (c.setup == Setup::kFolder) fs::create_directory(path);
  if (c.setup == Setup::kFile || c.setup == Setup::kBackupBlocked) dir.Write("a.mq4", c.source);
  // A file where the folder should be: as a read-only folder would (root writes into those).
  if (c.setup == Setup::kBackupBlocked) dir.Write("BackUp", "in the way");
  FaultyFileSystem files(c.fault.value_or(Op::IsRegularFile), c.throws);

  EXPECT_EQ(c.fault ? Convert(path, files) : Convert(path), c.outcome);
  const bool quiet = c.outcome == RoadOutcome::Unchanged || c.outcome == RoadOutcome::NotAFile;
  EXPECT_EQ(messages.boxes,
            quiet ? std::vector<std::string>{} : std::vector<std::string>{kFileErrorBox});
  if (c.setup == Setup::kFile) {
    EXPECT_EQ(ReadBytes(path), c.source);
  }
  if (c.outcome != RoadOutcome::WriteFailed) {
    EXPECT_FALSE(fs::exists(Backup("a.mq4")));
  }
  EXPECT_EQ(files.called.contains(Op::ReplaceContents), c.outcome == RoadOutcome::WriteFailed);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, RoadErrorTest,
    ::testing::Values(
        ErrorCase{"Empty", "", RoadOutcome::Unchanged},
        ErrorCase{"Binary",
                  std::string("\x7f"
                              "ELF\x02\x01\0\0TRUE\0\x03\0",
                              15),
                  RoadOutcome::NotText},
        ErrorCase{"ZeroByteInsideText", std::string("b = TRUE;\0int x;\r\n", 18),
                  RoadOutcome::NotText},
        ErrorCase{"ZeroUnitInsideUtf16", Utf16Le(std::u16string(u"b = TRUE;\0x;\r\n", 14)),
                  RoadOutcome::NotText},
        ErrorCase{"OddLengthUtf16", Utf16Le(u"b = TRUE;\r\n") + "x", RoadOutcome::NotText},
        ErrorCase{"MalformedUtf8WithSignature", "\xEF\xBB\xBF// \xC3\x28\r\nb = TRUE;\r\n",
                  RoadOutcome::NotText},
        // Bytes code page 932 cannot read would be lost by the rewrite.
        ErrorCase{"NotCodePage932", kSjis + kSjis + "b = TRUE; // \x80\r\n", RoadOutcome::NotText},
        ErrorCase{"Folder", "", RoadOutcome::NotAFile, Setup::kFolder},
        ErrorCase{"Missing", "", RoadOutcome::NotAFile, Setup::kMissing},
        ErrorCase{"BackupFolderCannotBeMade", "b = TRUE;", RoadOutcome::BackupFailed,
                  Setup::kBackupBlocked},
        ErrorCase{"ReadFails", "b = TRUE;", RoadOutcome::ReadFailed, Setup::kFile, Op::ReadAll},
        ErrorCase{"ReadThrows", "b = TRUE;", RoadOutcome::ReadFailed, Setup::kFile, Op::ReadAll,
                  true},
        ErrorCase{"FolderFails", "b = TRUE;", RoadOutcome::BackupFailed, Setup::kFile,
                  Op::CreateDirectories},
        ErrorCase{"EveryBackupNameTaken", "b = TRUE;", RoadOutcome::BackupFailed, Setup::kFile,
                  Op::Exists},
        ErrorCase{"CopyFails", "b = TRUE;", RoadOutcome::BackupFailed, Setup::kFile,
                  Op::CopyNewFile},
        ErrorCase{"CopyThrows", "b = TRUE;", RoadOutcome::BackupFailed, Setup::kFile,
                  Op::CopyNewFile, true},
        ErrorCase{"WriteFails", "b = TRUE;", RoadOutcome::WriteFailed, Setup::kFile,
                  Op::ReplaceContents},
        ErrorCase{"WriteThrows", "b = TRUE;", RoadOutcome::WriteFailed, Setup::kFile,
                  Op::ReplaceContents, true}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace lumivex
