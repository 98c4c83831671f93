#include "wine_test_support.h"

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
