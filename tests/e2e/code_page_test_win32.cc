// Kavrel started from a folder whose name ends in é, under code page 1252
// (this suite runs with KAVREL_CODEPAGE=1252): the executable's path splits
// at its last backslash by the rules of that code page, so that folder
// becomes its working directory.
#include "kavrel_test_win32.h"

namespace kavrel::e2e {
namespace {

// <temp>\kavrel-café, named through the system of this code page, so that
// the name holds the code page's own byte for é.
std::string CafeFolder() {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + "kavrel-caf\xe9";
}

class CodePage1252 : public KavrelTest {
 protected:
  StartOptions Options() const override {
    StartOptions o = KavrelOptions();
    o.exePath = CafeFolder() + "\\Kavrel.exe";
    return o;
  }
  void SetUp() override {
    ASSERT_EQ(GetACP(), 1252u) << "this suite runs under code page 1252";
    const std::string folder = CafeFolder();
    CreateDirectoryA(folder.c_str(), nullptr);  // left by an earlier run, perhaps
    ASSERT_TRUE(CopyFileA(KavrelOptions().exePath.c_str(), Options().exePath.c_str(), FALSE));
    KavrelTest::SetUp();
  }
};

TEST_F(CodePage1252, TheExecutablesFolderIsTheWorkingDirectory) {
  const std::string folder = CafeFolder();
  std::wstring wide(folder.size(), L'\0');
  wide.resize(size_t(MultiByteToWideChar(CP_ACP, 0, folder.data(), int(folder.size()), wide.data(), int(wide.size()))));
  auto now = RemoteWorkingDirectory(app->process());
  ASSERT_TRUE(now) << "the working directory cannot be read";
  EXPECT_EQ(*now, wide);
}

}  // namespace
}  // namespace kavrel::e2e
