// NoticeWindow: the program's one top-level window and its text box
// NoticeEdit, created from their property records. The platform-neutral
// decisions (styles, placement, key routing, focus) are made in
// window_props.h and input_routing.h; this layer only translates them.
#pragma once

#include <windows.h>

#include <optional>

#include "input_routing.h"
#include "unique_handle.h"
#include "window_props.h"

namespace notice {

inline constexpr wchar_t kNoticeWindowClass[] = L"NoticeWindow";

// Why a creation failed; the value is also the program's exit status.
enum class CreateResult { Ok = 0, ClassFailed = 1, WindowFailed = 2, ControlFailed = 3 };

class NoticeWindow {
 public:
  NoticeWindow() = default;
  NoticeWindow(const NoticeWindow&) = delete;
  NoticeWindow& operator=(const NoticeWindow&) = delete;
  // Destroys a window still open before the members it uses go.
  ~NoticeWindow() { window_.reset(); }

  // Start-up steps 1 to 5: the window, hidden, at its place and size, with
  // its icons and font, and the hidden text box holding the notice.
  CreateResult Create(HINSTANCE instance, const WindowProps& props, const EditProps& edit);
  // Step 6 without the loop: the box, then the window.
  void Show();

  // Once set, destroying the window ends the message loop.
  void QuitWhenDestroyed() { quitWhenDestroyed_ = true; }

  // Keys the window takes before the message reaches its target: Esc closes,
  // Tab and Shift+Tab move the focus. True when the message was consumed.
  bool PreTranslate(const MSG& msg);

  HWND hwnd() const { return window_.get(); }
  HWND edit() const { return edit_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  LRESULT OnPaint();
  LRESULT OnSetFont(HFONT font, BOOL redraw);
  LRESULT OnGetMinMaxInfo(MINMAXINFO* info);
  LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetFocus();
  LRESULT OnCtlColorEdit(HDC dc, HWND control);
  LRESULT OnDestroy();
  LRESULT OnNcDestroy(WPARAM wParam, LPARAM lParam);

  bool CreateEdit(HINSTANCE instance);
  void MoveFocus(bool forward);
  // The one control as the focus decisions see it, and its index there.
  FocusCandidate FocusState() const;
  std::optional<std::size_t> ControlIndex(HWND control) const;

  WindowProps props_;
  EditProps editProps_;
  unique_hwnd window_;
  HWND edit_ = nullptr;  // a child: destroyed with the window
  HFONT font_ = nullptr;
  HWND lastFocus_ = nullptr;
  unique_hbrush editBrush_;
  unique_hbrush backgroundBrush_;  // only for a colour other than the system's
  bool quitWhenDestroyed_ = false;
};

}  // namespace notice
