// Helpers for tests that drive the notice window under Wine: reading what a
// user would see through the window's own messages, and sending it keys.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <string_view>

namespace notice::testing {

// The text as the window hands it out, over WM_GETTEXT (works across processes).
std::wstring WindowText(HWND hwnd);

// UTF-8 to UTF-16, for comparing with texts written in the tests' sources.
std::wstring Widen(std::string_view utf8);

// Lets posted messages and paints be handled, in this thread's queue or
// another process's, for about `ms` milliseconds.
void Pump(DWORD ms);

// A key press as the keyboard would deliver it: WM_KEYDOWN (or
// WM_SYSKEYDOWN with Alt), then WM_KEYUP, posted to `target`'s queue.
void PostKey(HWND target, WORD vk, bool alt = false);
// A typed character, as TranslateMessage would produce it.
void PostChar(HWND target, wchar_t ch);

// Finds the close button the way the mouse would and clicks it with real
// mouse input. False when there is no close button to be found.
bool ClickCloseBox(HWND window);

// Runs a Unix program of the host through Wine's start.exe and waits for it
// (at most 10 s). Wine does not hand back the Unix program's exit status, so
// callers check its effect; false when it could not be started or hung.
bool RunUnixProgram(const std::wstring& arguments);

// The X window that Wine shows for `hwnd`, as a number xdotool takes.
unsigned long XWindowOf(HWND hwnd);

// The outer rectangle of `hwnd`, as left/top/width/height.
struct Box {
  int left, top, width, height;
  bool operator==(const Box& o) const {
    return left == o.left && top == o.top && width == o.width && height == o.height;
  }
};
inline std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "{left " << b.left << ", top " << b.top << ", " << b.width << " x " << b.height << "}";
}
Box OuterBox(HWND hwnd);
// A child's rectangle in its parent's client area.
Box ChildBox(HWND child);

// A visible top-level window of process `pid` (of class `cls`, if given).
HWND VisibleWindowOf(DWORD pid, const wchar_t* cls = nullptr);

// The notice as the box must show it.
const std::wstring& ExpectedNotice();

// One run of the real program (NOTICE_EXE), started as its own process;
// ended, and waited for, when it goes out of scope.
class Program {
 public:
  Program();
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool ready() const { return window_ && edit_; }
  HWND window() const { return window_; }
  HWND edit() const { return edit_; }
  DWORD processId() const { return pi_.dwProcessId; }

  // Lets the program handle what was posted to it.
  void Settle(DWORD ms = 300) const;
  // True when the program answers a message within `ms`.
  bool Answers(DWORD ms) const;
  // The exit status, or STILL_ACTIVE when it has not ended in time.
  DWORD WaitExit() const;
  bool Running() const;
  HWND Focus() const;

 private:
  PROCESS_INFORMATION pi_{};
  bool started_ = false;
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
};

// The ways a user closes the window, each of which must end the program
// with status 0.
struct CloseCase {
  const char* name;
  void (*close)(const Program&);
};
extern const CloseCase kCloseWays[5];

// How many processes of the notice program exist now.
int NoticeProcessCount();

// The expected outer frame for the screen the test runs on; false when the
// screen is not one the tests know.
bool ExpectedFrameForThisScreen(Box* out);

}  // namespace notice::testing
