// Start and close the real program over and over, each time another way:
// every run must show the notice unchanged, end with status 0 in time and
// leave no process behind. NOTICE_SOAK_CYCLES sets the number of cycles.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "wine_test_support.h"

namespace notice {
namespace {

using testing::kCloseWays;
using testing::PostChar;
using testing::Program;
using testing::WindowText;

int Cycles() {
  const char* given = std::getenv("NOTICE_SOAK_CYCLES");
  const int n = given ? std::atoi(given) : 20;
  return n > 0 ? n : 20;
}

TEST(Soak, StartEditAndCloseAgainAndAgain) {
  const int cycles = Cycles();
  constexpr int kWays = sizeof kCloseWays / sizeof kCloseWays[0];
  ASSERT_EQ(testing::NoticeProcessCount(), 0);
  for (int i = 0; i < cycles; ++i) {
    const testing::CloseCase& way = kCloseWays[i % kWays];
    SCOPED_TRACE(::testing::Message() << "cycle " << i + 1 << " of " << cycles << ", " << way.name);
    {
      Program p;
      ASSERT_TRUE(p.ready());
      ASSERT_EQ(WindowText(p.edit()), testing::ExpectedNotice());
      PostChar(p.edit(), L'x');  // an edit the next start must not show
      p.Settle(50);
      way.close(p);
      ASSERT_EQ(p.WaitExit(), 0u);
    }
    ASSERT_EQ(testing::NoticeProcessCount(), 0) << "a process outlived its cycle";
  }
}

}  // namespace
}  // namespace notice
