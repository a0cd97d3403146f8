// The start-up stamps the benchmark asks the main window for.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/startup_timeline.h"
#include "support/driver.h"

namespace {

using app::startup::Step;

TEST(StartupTimelineTest, EveryStepIsStampedInOrderOnceTheWindowIsIdle) {
  testsupport::RunningApp app = testsupport::LaunchApp();
  ASSERT_NE(app.window, nullptr);
  const UINT query = RegisterWindowMessageW(app::startup::kQueryMessageName);
  auto stampOf = [&](int step) {
    DWORD_PTR stamp = 0;
    SendMessageTimeoutW(app.window, query, step, 0, SMTO_NORMAL, 5000, &stamp);
    return static_cast<LONGLONG>(stamp);
  };
  const int last = static_cast<int>(Step::kIdle);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return stampOf(last) != 0; }));
  for (int step = 1; step <= last; ++step) EXPECT_GE(stampOf(step), stampOf(step - 1)) << step;
  EXPECT_NE(stampOf(0), 0);
  EXPECT_EQ(stampOf(last + 1), 0) << "a step the program does not know";
  testsupport::RequestClose(app.window);
}

}  // namespace
