#include "online/update.h"

#include <sys/wait.h>

#include <gtest/gtest.h>

#include "online/site.h"
#include "online/support/http_server.h"
#include "online/support/lha_writer.h"
#include "online/support/tree_snapshot.h"
#include "platform/support/temp_dir.h"

namespace lumivex {
namespace {

using testing::HttpServer;
using testing::LhaEntry;
using testing::LhaFile;
using testing::MakeLhaArchive;
using testing::ModeOf;
using testing::ReadWhole;
using testing::Reply;
using testing::TempDir;
using testing::TreeSnapshot;

const std::string kArchiveUrl = "/soft/download/Lumivex/LvxDLE.lzh";

// Writes its arguments and working folder beside itself.
const std::string kUpdaterScript =
    "#!/bin/sh\nprintf '%s\\n' \"$@\" > updater-args.txt\npwd > updater-cwd.txt\n";

std::filesystem::path PluginFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

int WaitForExit(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class UpdateRoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadUnlha(unlha, PluginFolder()));
    std::ofstream(app / "lumivex") << "old program";
    std::ofstream(app / "Lumivex.dat") << "settings";
  }
  void TearDown() override { FreeUnlha(unlha); }

  UpdateRequest Request() {
    UpdateRequest r;
    r.access.site = server.site();
    r.access.options.lowSpeedSeconds = 1;
    r.programFolder = app.path();
    r.latestVersionText = "1.1";
    r.unlha = &unlha;
    return r;
  }

  HttpServer server;
  TempDir app;
  UnlhaBinding unlha;
};

TEST_F(UpdateRoadTest, UnpacksStartsTheUpdaterAndDeletesTheArchive) {
  server.Route(kArchiveUrl, Reply::Ok(MakeLhaArchive(
                                {LhaFile("LvxDLE.exe", kUpdaterScript, 0100755),
                                 LhaFile("help/new.htm", "<p>new</p>", 0100644)},
                                2)));
  const UpdateResult result = RunUpdateRoad(Request());
  ASSERT_EQ(result.outcome, UpdateOutcome::UpdaterStarted);
  ASSERT_GT(result.updater, 0);
  EXPECT_EQ(WaitForExit(result.updater), 0);
  EXPECT_EQ(ReadWhole(app / "updater-args.txt"), "1.1\n");
  EXPECT_EQ(ReadWhole(app / "updater-cwd.txt"), app.path().string() + "\n");
  EXPECT_EQ(ReadWhole(app / "help" / "new.htm"), "<p>new</p>");
  EXPECT_FALSE(std::filesystem::exists(app / "LvxDLE.lzh"));
  EXPECT_EQ(server.Requests().at(0).userAgent, "LumivexGet_");
  EXPECT_EQ(UpdateFailureText(result.outcome), "");
}

TEST_F(UpdateRoadTest, FindsALowerCasedUpdaterAndMakesItExecutable) {
  // Level 0, upper-case DOS name and no mode: unpacked as lvxdle.exe, 0644.
  server.Route("/soft/other/New.lzh",
               Reply::Ok(MakeLhaArchive({LhaFile("LVXDLE.EXE", kUpdaterScript)}, 0)));
  UpdateRequest request = Request();
  request.downloadUrl = "http://elsewhere.example/soft/other/New.lzh";
  const UpdateResult result = RunUpdateRoad(request);
  ASSERT_EQ(result.outcome, UpdateOutcome::UpdaterStarted);
  EXPECT_EQ(WaitForExit(result.updater), 0);
  EXPECT_EQ(ReadWhole(app / "updater-args.txt"), "1.1\n");
  EXPECT_EQ(ModeOf(*FindUpdater(app.path())) & 0111, 0111u);
  EXPECT_EQ(server.Count("/soft/other/New.lzh"), 1);
}

TEST_F(UpdateRoadTest, EveryFailureKeepsTheProgramFolderAsItWas) {
  const std::string good =
      MakeLhaArchive({LhaFile("LvxDLE.exe", kUpdaterScript, 0100755), LhaFile("lumivex", "new program")}, 2);
  auto badCrc = LhaFile("lumivex", "new program");
  badCrc.crc = 1;
  struct Case {
    const char* label;
    Reply reply;
    bool withPlugin;
    UpdateOutcome outcome;
  };
  const Case cases[] = {
      {"archive 404", Reply::Status(404, "404"), true, UpdateOutcome::DownloadFailed},
      {"archive cut short", Reply::Truncated(good.substr(0, 40), good.size()), true,
       UpdateOutcome::DownloadFailed},
      {"bad CRC", Reply::Ok(MakeLhaArchive({LhaFile("LvxDLE.exe", kUpdaterScript, 0100755), badCrc}, 2)),
       true, UpdateOutcome::ExtractFailed},
      {"absolute name",
       Reply::Ok(MakeLhaArchive({LhaFile("LvxDLE.exe", kUpdaterScript, 0100755),
                                 LhaFile((app.path().parent_path() / "evil").string(), "x")},
                                2)),
       true, UpdateOutcome::ExtractFailed},
      {"no updater", Reply::Ok(MakeLhaArchive({LhaFile("lumivex", "new program")}, 2)), true,
       UpdateOutcome::UpdaterMissing},
      {"no plugin", Reply::Ok(good), false, UpdateOutcome::ExtractFailed},
  };
  const auto before = TreeSnapshot(app.path());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    server.Route(kArchiveUrl, c.reply);
    UpdateRequest request = Request();
    const UnlhaBinding none;
    if (!c.withPlugin) request.unlha = &none;
    const UpdateResult result = RunUpdateRoad(request);
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.updater, -1);
    EXPECT_NE(UpdateFailureText(result.outcome), "");
    EXPECT_EQ(TreeSnapshot(app.path()), before);
  }
  EXPECT_FALSE(std::filesystem::exists(app.path().parent_path() / "evil"));
}

TEST_F(UpdateRoadTest, AnUpdaterThatCannotRunIsReported) {
  server.Route(kArchiveUrl, Reply::Ok(MakeLhaArchive({LhaFile("LvxDLE.exe", "not a program", 0100755)}, 2)));
  const UpdateResult result = RunUpdateRoad(Request());
  EXPECT_EQ(result.outcome, UpdateOutcome::LaunchFailed);
  EXPECT_EQ(UpdateFailureText(result.outcome), "The updater could not be started！");
  EXPECT_FALSE(std::filesystem::exists(app / "LvxDLE.lzh"));
}

TEST(FindUpdater, ExactNameFirstThenAnyCaseRegularFilesOnly) {
  TempDir dir;
  EXPECT_EQ(FindUpdater(dir.path()), std::nullopt);
  std::filesystem::create_symlink("/bin/true", dir / "lvxdle.EXE");
  std::filesystem::create_directories(dir / "LVXDLE.exe");
  EXPECT_EQ(FindUpdater(dir.path()), std::nullopt);
  dir.Touch("lvxdle.exe");
  EXPECT_EQ(FindUpdater(dir.path()), dir / "lvxdle.exe");
  dir.Touch("LvxDLE.exe");
  EXPECT_EQ(FindUpdater(dir.path()), dir / "LvxDLE.exe");
  EXPECT_EQ(FindUpdater(dir / "missing"), std::nullopt);
}

}  // namespace
}  // namespace lumivex
