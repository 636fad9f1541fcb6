// The driver's entry: installs the recording netsh (and proves it through
// Wine's cmd.exe) before the first test, then runs the tests asked for.
#include <cstdio>

#include "e2e_support_win32.h"

namespace kavrel::e2e {

namespace {

class RecordingNetshEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(InstallRecordingNetsh(TheNetshLog(), &error)) << error;
  }
  void TearDown() override { TheNetshLog().Clear(); }
};

}  // namespace

const NetshLogFile& TheNetshLog() {
  static const NetshLogFile log(TempPath("kavrel-netsh") + ".log");
  return log;
}

void SessionTest::SetUp() {
  ASSERT_TRUE(log.Clear());
  std::string error;
  app = AppSession::Start(Options(), &error);
  ASSERT_TRUE(app) << error;
}

void SessionTest::TearDown() {
  if (app) app->WaitForNoChildren(10000);
  app.reset();
}

void SessionTest::ExpectNothingRun() const {
  EXPECT_TRUE(app->Children().empty()) << "the program started a process";
  // cmd and netsh take a moment to start; give a wrongly started line the
  // time to show up.
  Sleep(300);
  EXPECT_TRUE(app->Children().empty()) << "the program started a process";
  NetshLog recorded = log.Read();
  EXPECT_TRUE(recorded.records.empty()) << recorded.records.front().commandLine;
  EXPECT_EQ(recorded.unreadBytes, 0u);
}

}  // namespace kavrel::e2e

// In a virtual desktop Wine does not pass the exit code on; the wrapper
// that runs the driver there names a file for it.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::AddGlobalTestEnvironment(new kavrel::e2e::RecordingNetshEnvironment);
  int result = RUN_ALL_TESTS();
  char path[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableA("KAVREL_E2E_RESULT", path, MAX_PATH);
  if (n > 0 && n < MAX_PATH) {
    if (FILE* out = std::fopen(path, "w")) {
      std::fprintf(out, "%d\n", result);
      std::fclose(out);
    }
  }
  return result;
}
