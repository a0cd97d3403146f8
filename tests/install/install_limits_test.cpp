#include "install/install_limits.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using install::FreeSpaceWatch;
using install::kFreeSpaceMargin;
using install::LeavesFreeMargin;

std::wstring TempFolder() {
  wchar_t folder[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
  return std::wstring(folder, length);
}

uint64_t FreeBytes(const std::wstring& folder) {
  ULARGE_INTEGER available{};
  EXPECT_TRUE(::GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr));
  return available.QuadPart;
}

// Other programs change the free space between two looks; this much slack outlasts them.
constexpr uint64_t kSlack = uint64_t{64} << 20;

// The margin is kept on top of what is written, never eaten into.
TEST(FreeSpaceMarginTest, AllowsWhatLeavesTheMarginFreeAndNothingThatEatsIntoIt) {
  const std::wstring folder = TempFolder();
  const uint64_t free = FreeBytes(folder);
  ASSERT_GT(free, kFreeSpaceMargin + 2 * kSlack) << "the test needs some free space";
  const uint64_t usable = free - kFreeSpaceMargin;

  EXPECT_TRUE(LeavesFreeMargin(folder, 0));
  EXPECT_TRUE(LeavesFreeMargin(folder, usable - kSlack));
  EXPECT_FALSE(LeavesFreeMargin(folder, usable + kSlack));
  EXPECT_FALSE(LeavesFreeMargin(folder, free));
  // A volume that cannot be asked leaves no margin anyone could count on.
  EXPECT_FALSE(LeavesFreeMargin(L"Q:\\no such volume\\", 0));

  // A growing file asks for the space of its announced size at once (the bytes written so far
  // are on the disk already), and again only when it grows past what was granted.
  FreeSpaceWatch watch(folder);
  EXPECT_TRUE(watch.Allows(0, 4096, usable - kSlack));
  EXPECT_TRUE(watch.Allows(usable - 2 * kSlack, 4096, usable - kSlack));
  EXPECT_FALSE(FreeSpaceWatch(folder).Allows(0, 4096, usable + kSlack));
  EXPECT_FALSE(FreeSpaceWatch(folder).Allows(0, usable + kSlack, 0));
}

}  // namespace
