#include "wine_test_support.h"

#include <tlhelp32.h>

#include <cstdlib>

#include "notice_text.h"
#include "notice_window.h"

namespace notice::testing {

std::wstring WindowText(HWND hwnd) {
  const LRESULT length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(got));
  return text;
}

std::wstring Widen(std::string_view utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

void Pump(DWORD ms) {
  const DWORD until = GetTickCount() + ms;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;  // the caller looks for it itself
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (static_cast<LONG>(until - GetTickCount()) > 0);
}

namespace {
LPARAM KeyLParam(WORD vk, bool up, bool alt) {
  const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  LPARAM l = 1 | static_cast<LPARAM>(scan) << 16;
  if (alt) l |= static_cast<LPARAM>(KF_ALTDOWN) << 16;
  if (up) l |= static_cast<LPARAM>(KF_REPEAT | KF_UP) << 16;
  return l;
}
}  // namespace

void PostKey(HWND target, WORD vk, bool alt) {
  PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, KeyLParam(vk, false, alt));
  PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, vk, KeyLParam(vk, true, alt));
}

void PostChar(HWND target, wchar_t ch) { PostMessageW(target, WM_CHAR, ch, 1); }

Box OuterBox(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Box ChildBox(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool ClickCloseBox(HWND window) {
  const Box b = OuterBox(window);
  for (int x = b.left + b.width - 1; x > b.left + b.width - 60; --x) {
    for (int y = b.top + 1; y < b.top + 30; ++y) {
      if (SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) != HTCLOSE) continue;
      // Aim at the middle of the button rather than its edge.
      const int cx = x - 4, cy = y + 4;
      const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
      INPUT in[3] = {};
      for (INPUT& i : in) i.type = INPUT_MOUSE;
      in[0].mi.dx = cx * 65535 / (sw - 1);
      in[0].mi.dy = cy * 65535 / (sh - 1);
      in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
      in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
      in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
      SendInput(1, &in[0], sizeof(INPUT));
      Sleep(100);
      SendInput(2, &in[1], sizeof(INPUT));
      return true;
    }
  }
  return false;
}

bool RunUnixProgram(const std::wstring& arguments) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring line = L"start.exe /wait /unix /usr/bin/timeout 10 " + arguments;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return false;
  }
  const bool ended = WaitForSingleObject(pi.hProcess, 15000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return ended;
}

unsigned long XWindowOf(HWND hwnd) {
  return static_cast<unsigned long>(
      reinterpret_cast<ULONG_PTR>(GetPropW(hwnd, L"__wine_x11_whole_window")));
}

const std::wstring& ExpectedNotice() {
  static const std::wstring text = Widen(NoticeTextUtf8());
  return text;
}

namespace {

constexpr DWORD kStartTimeout = 20000;
// A process under Wine ends about 2 s after its last window has gone.
constexpr DWORD kExitTimeout = 15000;

std::wstring ProgramPath() {
  const wchar_t* path = _wgetenv(L"NOTICE_EXE");
  return path ? path : L"notice.exe";
}

const wchar_t* ProgramFileName() {
  static const std::wstring path = ProgramPath();
  const std::size_t slash = path.find_last_of(L"\\/");
  return path.c_str() + (slash == std::wstring::npos ? 0 : slash + 1);
}

struct Search {
  DWORD pid;
  const wchar_t* cls;
  HWND found;
};

BOOL CALLBACK MatchVisibleWindow(HWND hwnd, LPARAM l) {
  auto* s = reinterpret_cast<Search*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[64] = L"";
  if (s->cls) GetClassNameW(hwnd, cls, 64);
  if (pid == s->pid && (!s->cls || lstrcmpW(cls, s->cls) == 0) && IsWindowVisible(hwnd)) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND VisibleWindowOf(DWORD pid, const wchar_t* cls) {
  Search search{pid, cls, nullptr};
  EnumWindows(MatchVisibleWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

Program::Program() {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::wstring command = L"\"" + ProgramPath() + L"\"";
  started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &si, &pi_) != FALSE;
  if (!started_) return;
  const DWORD until = GetTickCount() + kStartTimeout;
  while (!window_ && static_cast<LONG>(until - GetTickCount()) > 0) {
    window_ = VisibleWindowOf(pi_.dwProcessId, kNoticeWindowClass);
    if (!window_) Sleep(50);
  }
  if (window_) {
    edit_ = GetDlgItem(window_, 100);
    WaitForInputIdle(pi_.hProcess, 5000);
  }
}

Program::~Program() {
  if (!started_) return;
  if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(pi_.hProcess, 99);
    WaitForSingleObject(pi_.hProcess, kExitTimeout);
  }
  CloseHandle(pi_.hThread);
  CloseHandle(pi_.hProcess);
}

void Program::Settle(DWORD ms) const {
  Sleep(ms);
  Answers(5000);
}

bool Program::Answers(DWORD ms) const {
  DWORD_PTR ignored;
  return SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ms, &ignored) != 0;
}

DWORD Program::WaitExit() const {
  if (WaitForSingleObject(pi_.hProcess, kExitTimeout) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(pi_.hProcess, &code);
  return code;
}

bool Program::Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

HWND Program::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(pi_.dwThreadId, &info) ? info.hwndFocus : nullptr;
}

const CloseCase kCloseWays[5] = {
    {"Escape", [](const Program& p) { PostKey(p.edit(), VK_ESCAPE); }},
    {"AltF4", [](const Program& p) { PostKey(p.edit(), VK_F4, /*alt=*/true); }},
    // What the close box and Close in the system menu send.
    {"SystemMenuClose", [](const Program& p) { PostMessageW(p.window(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    {"CloseBoxClick", [](const Program& p) { ClickCloseBox(p.window()); }},
    {"WmClose", [](const Program& p) { PostMessageW(p.window(), WM_CLOSE, 0, 0); }},
};

int NoticeProcessCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  int count = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, ProgramFileName()) == 0) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

bool ExpectedFrameForThisScreen(Box* out) {
  struct Screen {
    int width, height;
    Box frame;
  };
  // Worked out by hand from the centring rule, so that a fault in the
  // program's arithmetic cannot also hide in the expectation.
  static const Screen kScreens[] = {
      {1024, 768, {322, 259, 380, 250}},
      {1025, 769, {322, 259, 380, 250}},
      {300, 400, {-40, 75, 380, 250}},
      {301, 400, {-39, 75, 380, 250}},
  };
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  for (const Screen& s : kScreens) {
    if (s.width == w && s.height == h) {
      *out = s.frame;
      return true;
    }
  }
  return false;
}

}  // namespace notice::testing
