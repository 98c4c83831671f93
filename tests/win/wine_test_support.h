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

// The expected outer frame for the screen the test runs on; false when the
// screen is not one the tests know.
bool ExpectedFrameForThisScreen(Box* out);

}  // namespace notice::testing
