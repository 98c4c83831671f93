// NoticeWindow on GTK 3: the same window and text box as the Win32 layer,
// created from the same property records. Every decision (placement, sizes,
// key routing, focus, the text) comes from the platform-neutral core; this
// layer only translates it into GTK calls and reads GTK's events back.
#pragma once

#include <gtk/gtk.h>

#include <optional>

#include "icon_image.h"
#include "input_routing.h"
#include "window_props.h"

namespace notice::gtk {

// Why a start failed; the value is also the program's exit status. The
// numbers follow the Win32 program where the cause is alike.
enum class StartResult { Ok = 0, NoDisplay = 1, ControlFailed = 3 };

class NoticeWindow {
 public:
  NoticeWindow() = default;
  NoticeWindow(const NoticeWindow&) = delete;
  NoticeWindow& operator=(const NoticeWindow&) = delete;
  ~NoticeWindow();

  // The window, hidden, at its place and size, with its icon, and the text
  // box holding the notice with the caret at its start.
  StartResult Create(const WindowProps& props, const EditProps& edit);
  // Shows the box, then the window; destroying the window ends gtk_main.
  void Show();

 private:
  static gboolean OnKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer self);
  static gboolean OnFocusIn(GtkWidget* widget, GdkEventFocus* event, gpointer self);
  static gboolean OnFocusOut(GtkWidget* widget, GdkEventFocus* event, gpointer self);
  static void OnPreeditChanged(GtkTextView* view, gchar* preedit, gpointer self);
  static void OnDestroy(GtkWidget* widget, gpointer self);

  bool FillBox();
  void Place();
  void SetIcon();
  void StyleColours();
  void RestrictFrame();
  void MoveFocus(bool forward);
  FocusCandidate FocusState() const;
  std::optional<std::size_t> ControlIndex(GtkWidget* widget) const;

  WindowProps props_;
  EditProps editProps_;
  GtkWidget* window_ = nullptr;  // owned by GTK once shown; null after destroy
  GtkWidget* scroller_ = nullptr;
  GtkWidget* edit_ = nullptr;
  GtkWidget* lastFocus_ = nullptr;
  bool composing_ = false;  // an input method is composing in the box
  IconImage icon_;          // the pixels the window's icon pixbuf points into
};

// The whole program: display, window, loop, exit status.
int RunNotice();

}  // namespace notice::gtk
