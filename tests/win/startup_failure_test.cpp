// The program, built with a start-up step that the system refuses, run as
// its own process: it must show nothing, leave no window, not hang, and end
// with the status that names the step.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "wine_test_support.h"

namespace notice {
namespace {

constexpr DWORD kBoundMs = 10000;

struct FailureCase {
  const char* name;
  const wchar_t* step;
  DWORD expectedStatus;
};

class StartupFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(StartupFailure, ShowsNothingAndEndsInTimeWithItsStatus) {
  const wchar_t* runner = _wgetenv(L"NOTICE_FAULT_RUNNER");
  ASSERT_NE(runner, nullptr) << "NOTICE_FAULT_RUNNER names the fault runner";
  std::wstring command = L"\"" + std::wstring(runner) + L"\" " + GetParam().step;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &si, &pi));
  const DWORD started = GetTickCount();
  bool shown = false, ended = false;
  // Watch for a window for as long as the process lives.
  while (GetTickCount() - started < kBoundMs) {
    shown = shown || testing::VisibleWindowOf(pi.dwProcessId) != nullptr;
    if (WaitForSingleObject(pi.hProcess, 10) == WAIT_OBJECT_0) {
      ended = true;
      break;
    }
  }
  DWORD status = STILL_ACTIVE;
  if (ended) {
    GetExitCodeProcess(pi.hProcess, &status);
  } else {
    TerminateProcess(pi.hProcess, 99);
    WaitForSingleObject(pi.hProcess, 5000);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_TRUE(ended) << "still running after " << kBoundMs << " ms";
  EXPECT_FALSE(shown) << "a window was shown";
  EXPECT_EQ(status, GetParam().expectedStatus);
}

INSTANTIATE_TEST_SUITE_P(Refused, StartupFailure,
                         ::testing::Values(FailureCase{"ClassRegistration", L"class", 1},
                                           FailureCase{"Window", L"window", 2},
                                           FailureCase{"Control", L"control", 3}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace notice
