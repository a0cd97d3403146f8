#include "environment/sketchup_process.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "base/text.h"
#include "base/unique_handle.h"
#include "support/paths.h"
#include "support/shared_resources.h"

namespace {

using environment::IsSketchUpRunning;
using environment::SketchUpProcessIds;

// The stand-in SketchUp program, copied to the file name a test needs and running until the
// object goes (it opens only a hidden window, so it never ends by itself).
class RunningCopy {
 public:
  RunningCopy(const std::wstring& folderName, const std::wstring& fileName) {
    testsupport::ExpectLocked(testsupport::Shared::kSketchUp, "starts a SketchUp.exe");
    const std::wstring folder = testsupport::MakeScratchFolder(L"env_process_" + folderName);
    const std::wstring exe = folder + L"\\" + fileName;
    EXPECT_TRUE(::CopyFileW(testsupport::StandinExePath().c_str(), exe.c_str(), FALSE));
    std::wstring command = L"\"" + exe + L"\" --hidden \"background\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    EXPECT_TRUE(::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 folder.c_str(), &startup, &info))
        << base::WideToUtf8(exe);
    process_.reset(info.hProcess);
    base::UniqueKernelHandle thread(info.hThread);
    id_ = info.dwProcessId;
  }
  ~RunningCopy() {
    if (process_) {
      ::TerminateProcess(process_.get(), 0);
      ::WaitForSingleObject(process_.get(), 5000);
    }
  }
  DWORD id() const { return id_; }

 private:
  base::UniqueKernelHandle process_;
  DWORD id_ = 0;
};

bool Listed(DWORD id) {
  const auto ids = SketchUpProcessIds();
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

TEST(SketchUpProcessTest, ExactFileNameInAnyLetterCaseCounts) {
  RunningCopy proper(L"proper", L"SketchUp.exe");
  RunningCopy lower(L"lower", L"sketchup.exe");
  RunningCopy mixed(L"mixed", L"sKETCHuP.ExE");
  EXPECT_TRUE(Listed(proper.id()));
  EXPECT_TRUE(Listed(lower.id()));
  EXPECT_TRUE(Listed(mixed.id()));
  EXPECT_TRUE(IsSketchUpRunning());
}

TEST(SketchUpProcessTest, NamesThatOnlyBeginWithSketchUpDoNotCount) {
  RunningCopy year(L"year", L"SketchUp2021.exe");
  RunningCopy extension(L"extension", L"SketchUp.exe.exe");
  EXPECT_FALSE(Listed(year.id()));
  EXPECT_FALSE(Listed(extension.id()));
  // No other test runs a SketchUp.exe meanwhile (the runner's lock lingtu_sketchup).
  EXPECT_TRUE(SketchUpProcessIds().empty());
  EXPECT_FALSE(IsSketchUpRunning());
}

}  // namespace
