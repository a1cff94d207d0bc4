// Character sets, then the file road on real files and through a file system that fails on demand.
#include "pipeline/file_road.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "encoding/source_text.h"
#include "pipeline/support/road_fakes.h"
#include "support/engine_test.h"
#include "text/transcode.h"

namespace lumivex {
namespace {

namespace fs = std::filesystem;
using namespace lumivex::testing;
using Op = FaultyFileSystem::Op;

// utf8 in the iconv character set charset, repeated to at least minBytes.
std::string In(const char* charset, std::string_view utf8, std::size_t minBytes = 0) {
  std::string out, once = *TranscodeStrict(charset, "UTF-8", utf8);
  do out += once; while (out.size() < minBytes);
  return out;
}

constexpr std::string_view kJapanese = "// 買い注文の条件をチェックする\r\nint start() { return(0); }\r\n";
constexpr std::string_view kKanjiOnly = "// 売買条件\r\n";
constexpr std::string_view kRussian = "// Привет мир, это советник для торговли\r\nint start() { return(0); }\r\n";

TEST(DetectCharset, NamesTheSetAndTheLegacyCodePage) {
  struct Case { std::string label, bytes, expected; };  // expected: "name|codepage"
  const std::vector<Case> cases = {
      {"Empty", "", "|"},
      {"Ascii", "int a;", "us-ascii|"},
      {"Utf8", "// あ", "utf-8|"},
      {"Utf8SignatureWinsOverShiftJisBody", "\xEF\xBB\xBF" + In("CP932", kJapanese), "utf-8|"},
      {"ShiftJisShort", In("CP932", "あ"), "shift_jis|"},
      {"ShiftJisKanjiOnly", In("CP932", kKanjiOnly), "shift_jis|"},
      {"ShiftJisLong", In("CP932", kJapanese, 1000000), "shift_jis|"},
      {"EucJpShort", In("EUC-JP", "あ"), "euc-jp|"},
      {"EucJpKanjiOnly", In("EUC-JP", kKanjiOnly), "euc-jp|"},
      {"Utf16LeNoMark", In("UTF-16LE", kJapanese), "UTF-16LE|"},
      {"Utf16BeNoMark", In("UTF-16BE", kJapanese), "UTF-16BE|"},
      {"Windows1251", In("WINDOWS-1251", kRussian), "|windows-1251"},
      {"LatinCapitalsOnly", In("WINDOWS-1252", "// ÉÀ\r\nint start()\r\n{\r\n   double a = 1.0; // \\ and ~\r\n}\r\n"), "|ISO-8859-1"},
      {"Gb18030", In("GBK", "// 买入条件和卖出条件\r\n", 200000), "|GB18030"},
      {"Iso2022Jp", In("ISO-2022-JP", kJapanese), "|ISO-2022-JP"},
  };
  for (const Case& c : cases) {
    const CharsetInfo info = DetectCharsetInfo(c.bytes);
    EXPECT_EQ(info.name + "|" + info.codepage, c.expected) << c.label;
  }
}

TEST(IsStrictUtf8, RefusesWhatIsNotWellFormed) {
  EXPECT_TRUE(IsStrictUtf8("a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80"));
  for (const char* bad : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "a\xE3\x81"})
    EXPECT_FALSE(IsStrictUtf8(bad)) << bad;
}

TEST(Utf8ToShiftJis, Table) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\xE3\x81\x82", "\x82\xA0"},
      {"x\xC3\xA9y", "x y"},                // no code page 932 form: a blank
      {"\"a\\n\"", "\"a\\n\""},             // 0x5C stays a backslash, not a yen sign
      {"\xE3\x80\x9C", "\x81\x60"},
      {"\xEF\xBB\xBFint", "int"},           // the signature is dropped
      {"a\xF0\x9F\x98\x80z", "a  z"},       // a surrogate pair: two blanks
      {"a\xE3\x81", "a "},                  // cut short at the end
      {"\xC3" "A", " A"},                   // the byte that broke a sequence is kept
      {"\xC0\x80" "A", "  A"},              // an overlong zero does not end the text
      {"\xE0\x80\x80" "A", " A"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(Utf8ToShiftJis(in), out) << in;
}

// A view that stops inside a sequence whose missing bytes lie right behind it.
TEST(Utf8DecodePass, ReadsNothingPastTheData) {
  const std::string buffer = "a\xF0\x9F\x98\x80\xE3\x81\x82";
  std::u16string out;
  EXPECT_EQ(Utf8DecodePass(&out, std::string_view(buffer).substr(0, 7)), 4);
  EXPECT_EQ(out, u"a\xD83D\xDE00\xFFFD");
}

// Lone surrogates and a zero unit; marks, pairs and unmapped characters are in the UTF-8 table.
TEST(FileRoadConversions, Utf16EucJpShiftJisAndLegacyCodePages) {
  EXPECT_EQ(Utf16ToShiftJis(u"\xDE00" u"b\xD83D"), " b ");
  EXPECT_EQ(Utf16ToShiftJis(std::u16string(u"a\0b", 3)), "a");
  EXPECT_EQ(Utf16ToCodePage932(u"\uFEFF\u00E9\u3042"), "??\x82\xA0");  // the default character
  EXPECT_EQ(EucJpToShiftJis(std::string("a\xFF" "b\xA4\0c", 6)), "a b ");
  EXPECT_EQ(ShiftJisToUtf16Le(std::string("\\~\x82\xA0\xB6\x80" "a\0\x82", 10)),
            In("UTF-16LE", std::string("\\~あｶ・a\0・", 17)));
  EXPECT_EQ(LegacyToUtf16Le(In("GBK", "买入") + "\x81\x20", "GB18030"), std::nullopt);  // not all GB18030
}

const std::string kFileErrorBox =
    "File Error|Can't perform one of the following file operations: Open, Seek, Read, Close.";
const std::string kSjis = In("CP932", "// あいうえお テストです\r\n");

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
        RewriteCase{"Windows1251", "WINDOWS-1251", kRu, kRu.substr(0, kRu.size() - 7) + "true;\r\n"},
        // Malformed UTF-8 without a signature is no UTF-8: its bytes read as Latin-1.
        RewriteCase{"MalformedUtf8", "", "// caf\xc3\xa9 \xc3\x28\nb = TRUE;", "// cafÃ© Ã(\r\nb = true;\r\n"}),
    [](const auto& info) { return info.param.name; });

TEST_F(RoadTest, ResultFollowsTextChangedNotATextComparison) {
  // Same text out as in, but finding "://" counts as a change.
  EXPECT_TRUE(ConvertOneFile(engine, dir.Write("a.mq4", "// http://x\r\nint x;\r\n")));
  // OnInit() inserted, but nothing set the flag.
  EXPECT_FALSE(ConvertOneFile(engine, dir.Write("b.mq4", "int start()\r\n{\r\nreturn(0);\r\n}\r\n")));
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
        // Bytes that code page 932 cannot read would be lost by the rewrite.
        ErrorCase{"NotCodePage932", kSjis + kSjis + "b = TRUE; // \x80\r\n", RoadOutcome::NotText},
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
