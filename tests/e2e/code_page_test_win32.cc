// Kavrel started from a folder that no ANSI code page can name, and from one
// whose path is longer than MAX_PATH in the program's code page (a path of
// Chinese folders, two bytes a character in 936, though well within MAX_PATH
// characters; Wine starts no program from a longer path than that): under
// every code page (this suite runs in each of them) that folder becomes its
// working directory, as a whole.
#include "kavrel_test_win32.h"

namespace kavrel::e2e {
namespace {

// <temp>\kavrel-café-한✓, and below it Chinese folders enough to pass
// MAX_PATH bytes.
std::wstring Folder(bool long_) {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"kavrel-caf\u00e9-\uD55C\u2713";
  for (int i = 0; long_ && i < 7; ++i) folder += L"\\" + std::wstring(20, L'\u8FDE') + std::to_wstring(i);  // 连
  return folder;
}

class WorkingDirectory : public KavrelTest, public testing::WithParamInterface<bool> {
 protected:
  StartOptions Options() const override {
    StartOptions o = KavrelOptions();
    o.exePath = Folder(GetParam()) + L"\\Kavrel.exe";
    return o;
  }
  void SetUp() override {
    // Made level by level (left by an earlier run, perhaps).
    const std::wstring folder = Folder(GetParam());
    for (size_t at = folder.find(L"\\kavrel-"); at != std::wstring::npos; at = folder.find(L'\\', at + 1))
      CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(ToGbk(folder).size() > MAX_PATH || !GetParam());
    ASSERT_TRUE(CopyFileW(KavrelOptions().exePath.c_str(), Options().exePath.c_str(), FALSE)) << Utf8(Options().exePath);
    KavrelTest::SetUp();
  }
};

TEST_P(WorkingDirectory, IsTheExecutablesFolder) {
  auto now = RemoteWorkingDirectory(app->process());
  ASSERT_TRUE(now) << "the working directory cannot be read";
  EXPECT_EQ(Utf8(*now), Utf8(Folder(GetParam())));
}

INSTANTIATE_TEST_SUITE_P(Folders, WorkingDirectory, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& p) { return p.param ? "OverMaxPathBytes" : "NoAnsiName"; });

}  // namespace
}  // namespace kavrel::e2e
