// Refuses the creation of windows of one class, as a system out of
// resources would, through a CBT hook on the calling thread.
#pragma once

#include <windows.h>

namespace notice::testing {

struct CreationVeto {
  static inline const wchar_t* className = nullptr;

  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
      // The class as created: with version 6 of the common controls the
      // name the caller passed is mapped to a versioned class first.
      wchar_t cls[64] = L"";
      GetClassNameW(reinterpret_cast<HWND>(wParam), cls, 64);
      if (lstrcmpiW(cls, className) == 0) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  // Vetoes windows of class `cls` created by this thread from now on.
  static HHOOK Install(const wchar_t* cls) {
    className = cls;
    return SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
  }
};

}  // namespace notice::testing
