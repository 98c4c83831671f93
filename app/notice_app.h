// The program's start-up sequence and message loop.
#pragma once

#include <windows.h>

#include "notice_window.h"

namespace notice {

class NoticeApp {
 public:
  explicit NoticeApp(HINSTANCE instance) : instance_(instance) {}

  // Creates and shows the window; Ok, or why it could not.
  CreateResult Start();
  // Runs the loop until the window has been destroyed; the exit status.
  int Run();
  // One message through the window's key routing, then to its target.
  void Dispatch(const MSG& msg);

  NoticeWindow& window() { return window_; }

 private:
  HINSTANCE instance_;
  NoticeWindow window_;
};

// The whole program: start-up, loop, exit status.
int RunNotice(HINSTANCE instance);

}  // namespace notice
