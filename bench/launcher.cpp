// Starts programs one after the other, as a user would, and measures each
// start: the time from spawn until its window is visible, until that window
// has no part left to paint, and the process's memory as Windows counts it.
// Prints one line per start; bench/run turns them into medians and ratios.
//
//   bench_launcher PAIRS WARMUP NAME=PROGRAM NAME=PROGRAM
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD kWindowTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 30000;

struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM l) {
  auto* s = reinterpret_cast<Search*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == s->pid && IsWindowVisible(hwnd)) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK AnyChildUnpainted(HWND child, LPARAM l) {
  if (GetUpdateRect(child, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(l) = true;
    return FALSE;
  }
  return TRUE;
}

bool Painted(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  bool unpainted = false;
  EnumChildWindows(window, AnyChildUnpainted, reinterpret_cast<LPARAM>(&unpainted));
  return !unpainted;
}

struct Clock {
  LARGE_INTEGER frequency{}, start{};
  Clock() {
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
  }
  long long Micros() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (now.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart;
  }
};

// One start; false (after a line saying why) when the program misbehaved.
bool MeasureOnce(const std::wstring& name, const std::wstring& path, int index) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring command = L"\"" + path + L"\"";
  const Clock clock;
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    std::wprintf(L"error %ls cannot start %ls (error %lu)\n", name.c_str(), path.c_str(),
                 GetLastError());
    return false;
  }
  Search search{pi.dwProcessId, nullptr};
  long long visible = -1, painted = -1;
  while (clock.Micros() < kWindowTimeoutMs * 1000LL) {
    if (!search.found) {
      EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
      if (search.found) visible = clock.Micros();
    }
    if (search.found && Painted(search.found)) {
      painted = clock.Micros();
      break;
    }
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) break;
    Sleep(0);
  }
  bool ok = painted >= 0;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (ok) {
    // Let it settle as a user would see it, then read its memory.
    WaitForInputIdle(pi.hProcess, 5000);
    Sleep(200);
    if (!GetProcessMemoryInfo(pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                              sizeof memory)) {
      memory = {};
    }
    PostMessageW(search.found, WM_CLOSE, 0, 0);
  }
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(pi.hProcess, kExitTimeoutMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(pi.hProcess, &code);
  } else {
    TerminateProcess(pi.hProcess, 99);
    WaitForSingleObject(pi.hProcess, kExitTimeoutMs);
    ok = false;
  }
  const long long ended = clock.Micros();
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  if (!ok) {
    std::wprintf(L"error %ls start %d: no painted window (visible after %lld us)\n", name.c_str(),
                 index, visible);
    return false;
  }
  std::wprintf(L"start %ls %d visible_us %lld painted_us %lld ended_us %lld peak_private %llu "
               L"private %llu peak_working_set %llu exit %lu\n",
               name.c_str(), index, visible, painted, ended,
               static_cast<unsigned long long>(memory.PeakPagefileUsage),
               static_cast<unsigned long long>(memory.PrivateUsage),
               static_cast<unsigned long long>(memory.PeakWorkingSetSize), code);
  std::fflush(stdout);
  return code == 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 5) {
    std::fwprintf(stderr, L"usage: bench_launcher PAIRS WARMUP NAME=PROGRAM NAME=PROGRAM\n");
    return 2;
  }
  const int pairs = _wtoi(argv[1]), warmup = _wtoi(argv[2]);
  if (pairs < 1 || warmup < 0) {
    std::fwprintf(stderr, L"bench_launcher: PAIRS must be at least 1 and WARMUP not negative\n");
    return 2;
  }
  std::wstring names[2], paths[2];
  for (int i = 0; i < 2; ++i) {
    const std::wstring arg = argv[3 + i];
    const std::size_t eq = arg.find(L'=');
    if (eq == std::wstring::npos || eq == 0) {
      std::fwprintf(stderr, L"bench_launcher: '%ls' is not NAME=PROGRAM\n", arg.c_str());
      return 2;
    }
    names[i] = arg.substr(0, eq);
    paths[i] = arg.substr(eq + 1);
  }
  bool ok = true;
  // Warm-up starts are measured like the others and marked with a negative index.
  for (int i = -warmup; i < pairs && ok; ++i) {
    for (int j = 0; j < 2 && ok; ++j) ok = MeasureOnce(names[j], paths[j], i);
  }
  return ok ? 0 : 1;
}
