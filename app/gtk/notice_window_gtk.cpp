#include "notice_window_gtk.h"

#include <cstdio>

#include "line_breaks.h"
#include "notice_icon_ico.h"  // generated: the bytes of resources/notice.ico
#include "notice_text.h"

namespace notice::gtk {

namespace {

Key ToKey(guint keyval) {
  switch (keyval) {
    case GDK_KEY_Escape: return Key::Escape;
    case GDK_KEY_Tab:
    case GDK_KEY_KP_Tab:
    case GDK_KEY_ISO_Left_Tab:  // what Shift+Tab arrives as
      return Key::Tab;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
      return Key::Enter;
    default: return Key::Other;
  }
}

Modifiers ToModifiers(guint state) {
  return Modifiers{(state & GDK_CONTROL_MASK) != 0, (state & GDK_SHIFT_MASK) != 0,
                   (state & GDK_MOD1_MASK) != 0};
}

// The notice through GLib's converter, which is the C library's iconv:
// "CP936", not "GBK", since the two part at byte 0x80.
gchar* DecodeNoticeText(gsize* length) {
  gchar* text = nullptr;
  DecodeNotice([&](std::string_view bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) {
      if (!g_utf8_validate(bytes.data(), static_cast<gssize>(bytes.size()), nullptr)) return false;
      text = g_strndup(bytes.data(), bytes.size());
      *length = bytes.size();
      return true;
    }
    gsize read = 0;
    text = g_convert(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8", "CP936", &read,
                     length, nullptr);
    if (text && read == bytes.size()) return true;
    g_free(text);
    text = nullptr;
    return false;
  });
  return text;
}

}  // namespace

NoticeWindow::~NoticeWindow() {
  if (window_) gtk_widget_destroy(window_);
}

StartResult NoticeWindow::Create(const WindowProps& props, const EditProps& edit) {
  props_ = props;
  editProps_ = edit;

  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  // Set explicitly: GTK would otherwise title the window with the program's name.
  gtk_window_set_title(GTK_WINDOW(window_), props_.caption);
  gtk_window_set_resizable(GTK_WINDOW(window_), props_.border == BorderKind::Sizable);
  gtk_window_set_keep_above(GTK_WINDOW(window_), props_.topMost);
  g_signal_connect(window_, "destroy", G_CALLBACK(OnDestroy), this);
  g_signal_connect(window_, "key-press-event", G_CALLBACK(OnKeyPress), this);
  g_signal_connect(window_, "focus-in-event", G_CALLBACK(OnFocusIn), this);
  g_signal_connect(window_, "focus-out-event", G_CALLBACK(OnFocusOut), this);

  // The client area at the size the classic frame leaves, the box at its
  // place inside it.
  GtkWidget* content = gtk_fixed_new();
  const Rect client = ClientRect(props_.design, kClassicFixedFrame);
  gtk_widget_set_size_request(content, client.width, client.height);
  gtk_container_add(GTK_CONTAINER(window_), content);

  // No scroll bars, yet the box still follows the caret: the view scrolls
  // vertically without showing a bar, and never sideways, so lines wrap.
  const bool hBar = editProps_.scrollBars == ScrollBars::Horizontal ||
                    editProps_.scrollBars == ScrollBars::Both;
  const bool vBar = editProps_.scrollBars == ScrollBars::Vertical ||
                    editProps_.scrollBars == ScrollBars::Both;
  scroller_ = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller_),
                                 hBar ? GTK_POLICY_ALWAYS : GTK_POLICY_NEVER,
                                 vBar ? GTK_POLICY_ALWAYS : GTK_POLICY_EXTERNAL);
  gtk_scrolled_window_set_shadow_type(
      GTK_SCROLLED_WINDOW(scroller_),
      editProps_.border == BorderKind::Sunken        ? GTK_SHADOW_IN
      : editProps_.border == BorderKind::FixedSingle ? GTK_SHADOW_ETCHED_IN
                                                     : GTK_SHADOW_NONE);
  const Rect& b = editProps_.bounds;
  gtk_widget_set_size_request(scroller_, b.width, b.height);
  gtk_fixed_put(GTK_FIXED(content), scroller_, b.left, b.top);

  edit_ = gtk_text_view_new();
  GtkTextView* view = GTK_TEXT_VIEW(edit_);
  gtk_text_view_set_wrap_mode(view, hBar ? GTK_WRAP_NONE : GTK_WRAP_WORD_CHAR);
  // Tab and Shift+Tab are the window's; the box never takes a tab.
  gtk_text_view_set_accepts_tab(view, FALSE);
  gtk_text_view_set_editable(view, editProps_.inputMode != InputMode::ReadOnly);
  gtk_text_view_set_justification(view, editProps_.alignment == Alignment::Center ? GTK_JUSTIFY_CENTER
                                        : editProps_.alignment == Alignment::Right ? GTK_JUSTIFY_RIGHT
                                                                                   : GTK_JUSTIFY_LEFT);
  // The context menu then offers only the plain editing commands.
  gtk_text_view_set_input_hints(view, GTK_INPUT_HINT_NO_EMOJI);
  gtk_widget_set_can_focus(edit_, editProps_.tabStop);
  gtk_widget_set_sensitive(edit_, editProps_.enabled);
  g_signal_connect(edit_, "preedit-changed", G_CALLBACK(OnPreeditChanged), this);
  gtk_container_add(GTK_CONTAINER(scroller_), edit_);

  if (!FillBox()) {
    gtk_widget_destroy(window_);  // nothing may be left behind
    return StartResult::ControlFailed;
  }
  StyleColours();
  SetIcon();
  Place();
  gtk_widget_show_all(content);
  if (!editProps_.visible) gtk_widget_hide(scroller_);
  return StartResult::Ok;
}

bool NoticeWindow::FillBox() {
  gsize length = 0;
  gchar* text = DecodeNoticeText(&length);
  if (!text) return false;
  length = CollapseCrLf(text, length);
  GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(edit_));
  gtk_text_buffer_set_text(buffer, text, static_cast<gint>(length));
  g_free(text);

  // Setting the text leaves the caret at its end: put the selection where
  // the record says, and its start in view.
  GtkTextIter start, end;
  gtk_text_buffer_get_iter_at_offset(buffer, &start, editProps_.selectionStart);
  gtk_text_buffer_get_iter_at_offset(buffer, &end,
                                     editProps_.selectionStart + editProps_.selectionLength);
  gtk_text_buffer_select_range(buffer, &end, &start);
  gtk_text_view_scroll_mark_onscreen(GTK_TEXT_VIEW(edit_), gtk_text_buffer_get_insert(buffer));
  return true;
}

namespace {

void AddCss(GtkWidget* widget, const char* css) {
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, css, -1, nullptr);
  gtk_style_context_add_provider(gtk_widget_get_style_context(widget), GTK_STYLE_PROVIDER(provider),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
}

}  // namespace

void NoticeWindow::StyleColours() {
  // The box's colours from its record; the window keeps the theme's colour
  // unless its record names one.
  char css[512];
  int used = std::snprintf(css, sizeof css, "textview text { background-color: #%06x; color: #%06x; }",
                           editProps_.background & 0xFFFFFFu, editProps_.textColor & 0xFFFFFFu);
  if (editProps_.hideSelection && used > 0 && static_cast<std::size_t>(used) < sizeof css) {
    // Hidden while the box has no focus, as the record asks; GTK would draw
    // it in an unfocused colour instead.
    std::snprintf(css + used, sizeof css - static_cast<std::size_t>(used),
                  " textview:not(:focus) text selection { background-color: #%06x; "
                  "color: #%06x; }",
                  editProps_.background & 0xFFFFFFu, editProps_.textColor & 0xFFFFFFu);
  }
  AddCss(edit_, css);
  if (props_.background != kSystemColor) {
    std::snprintf(css, sizeof css, "window { background-color: #%06x; }",
                  props_.background & 0xFFFFFFu);
    AddCss(window_, css);
  }
}

void NoticeWindow::SetIcon() {
  // A window without the icon is still the notice: go on without it.
  if (!DecodeIco32(kNoticeIco, sizeof kNoticeIco, &icon_)) return;
  GdkPixbuf* pixbuf = gdk_pixbuf_new_from_data(icon_.rgba.data(), GDK_COLORSPACE_RGB, TRUE, 8,
                                               icon_.width, icon_.height, icon_.width * 4,
                                               nullptr, nullptr);
  gtk_window_set_icon(GTK_WINDOW(window_), pixbuf);
  g_object_unref(pixbuf);
}

void NoticeWindow::Place() {
  if (props_.startPosition == StartPosition::Manual) {
    gtk_window_move(GTK_WINDOW(window_), props_.design.left, props_.design.top);
    return;
  }
  GdkDisplay* display = gtk_widget_get_display(window_);
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (!monitor) monitor = gdk_display_get_monitor(display, 0);
  if (!monitor) return;  // nothing to centre on: the window manager decides
  GdkRectangle screen;
  gdk_monitor_get_geometry(monitor, &screen);
  // The content goes where the classic frame's client area would be; the
  // window manager's frame then lies around it about where that frame would.
  const Rect client = StartClientRect(props_, screen.width, screen.height);
  gtk_window_set_gravity(GTK_WINDOW(window_), GDK_GRAVITY_STATIC);
  gtk_window_move(GTK_WINDOW(window_), screen.x + client.left, screen.y + client.top);
}

void NoticeWindow::RestrictFrame() {
  // What the window manager may offer and which buttons it draws, from the
  // same switches as the Windows styles.
  GdkWindow* gdkWindow = gtk_widget_get_window(window_);
  if (!gdkWindow) return;
  const FrameAbilities a = MapFrameAbilities(props_);
  int functions = 0, decorations = GDK_DECOR_BORDER;
  if (a.move) functions |= GDK_FUNC_MOVE;
  if (a.resize) functions |= GDK_FUNC_RESIZE, decorations |= GDK_DECOR_RESIZEH;
  if (a.minimize) functions |= GDK_FUNC_MINIMIZE, decorations |= GDK_DECOR_MINIMIZE;
  if (a.maximize) functions |= GDK_FUNC_MAXIMIZE, decorations |= GDK_DECOR_MAXIMIZE;
  if (a.close) functions |= GDK_FUNC_CLOSE;
  if (a.caption) decorations |= GDK_DECOR_TITLE | GDK_DECOR_MENU;
  gdk_window_set_functions(gdkWindow, static_cast<GdkWMFunction>(functions));
  gdk_window_set_decorations(gdkWindow, static_cast<GdkWMDecoration>(decorations));
}

void NoticeWindow::Show() {
  gtk_widget_realize(window_);
  RestrictFrame();
  const FocusCandidate controls[] = {FocusState()};
  if (ChooseFocus(controls, std::size(controls), std::nullopt)) gtk_widget_grab_focus(edit_);
  gtk_widget_show(window_);
}

FocusCandidate NoticeWindow::FocusState() const {
  return FocusCandidate{gtk_widget_get_visible(scroller_) != FALSE,
                        gtk_widget_is_sensitive(edit_) != FALSE,
                        gtk_widget_get_can_focus(edit_) != FALSE, editProps_.tabOrder};
}

std::optional<std::size_t> NoticeWindow::ControlIndex(GtkWidget* widget) const {
  return widget && widget == edit_ ? std::optional<std::size_t>(0) : std::nullopt;
}

void NoticeWindow::MoveFocus(bool forward) {
  const FocusCandidate controls[] = {FocusState()};
  const GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window_));
  if (NextTabStop(controls, std::size(controls), ControlIndex(const_cast<GtkWidget*>(focus)),
                  forward)) {
    gtk_widget_grab_focus(edit_);
  }
}

gboolean NoticeWindow::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto* self = static_cast<NoticeWindow*>(data);
  const bool boxFocused = gtk_window_get_focus(GTK_WINDOW(self->window_)) == self->edit_;
  // While an input method composes, Esc and Enter belong to it (cancel and
  // commit the composition), as they do to a Windows IME.
  KeyClaims claims = boxFocused ? KeyClaims{} : KeyClaims{false, false};
  if (boxFocused && self->composing_) claims.plainEscape = true;
  switch (RouteKeyDown(ToKey(event->keyval), ToModifiers(event->state), self->props_.escCloses,
                       claims)) {
    case KeyAction::Dispatch:
      // A key that would type a character the box must not get stops here.
      return SuppressCharacter(gdk_keyval_to_unicode(event->keyval)) ? TRUE : FALSE;
    case KeyAction::Close:
      gtk_window_close(GTK_WINDOW(self->window_));
      return TRUE;
    case KeyAction::FocusNext: self->MoveFocus(true); return TRUE;
    case KeyAction::FocusPrevious: self->MoveFocus(false); return TRUE;
  }
  return FALSE;
}

gboolean NoticeWindow::OnFocusIn(GtkWidget*, GdkEventFocus*, gpointer data) {
  auto* self = static_cast<NoticeWindow*>(data);
  const FocusCandidate controls[] = {self->FocusState()};
  if (ChooseFocus(controls, std::size(controls), self->ControlIndex(self->lastFocus_))) {
    gtk_widget_grab_focus(self->edit_);
  }
  return FALSE;  // GTK goes on to show the focus as usual
}

gboolean NoticeWindow::OnFocusOut(GtkWidget*, GdkEventFocus*, gpointer data) {
  auto* self = static_cast<NoticeWindow*>(data);
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(self->window_));
  if (focus) self->lastFocus_ = focus;
  return FALSE;
}

void NoticeWindow::OnPreeditChanged(GtkTextView*, gchar* preedit, gpointer data) {
  static_cast<NoticeWindow*>(data)->composing_ = preedit && *preedit;
}

void NoticeWindow::OnDestroy(GtkWidget*, gpointer data) {
  auto* self = static_cast<NoticeWindow*>(data);
  self->window_ = nullptr;
  self->scroller_ = nullptr;
  self->edit_ = nullptr;
  self->lastFocus_ = nullptr;
  // The program's only window is gone: end the loop, if it runs.
  if (gtk_main_level() > 0) gtk_main_quit();
}

int RunNotice() {
  // Placing the window needs X11 (directly or through XWayland); elsewhere
  // the window still opens and the compositor places it.
  gdk_set_allowed_backends("x11,*");
  // The window draws nothing with OpenGL; probing for it costs start-up time
  // and memory where no compositing manager runs. A user's own choice stands.
  g_setenv("GDK_GL", "disable", FALSE);
  // The program takes no arguments, so GTK's own are not read either.
  if (!gtk_init_check(nullptr, nullptr)) {
    const char* display = g_getenv("DISPLAY");
    std::fprintf(stderr, "notice: cannot open the display%s%s%s\n", display ? " \"" : "",
                 display ? display : " (DISPLAY is not set)", display ? "\"" : "");
    return static_cast<int>(StartResult::NoDisplay);
  }
  NoticeWindow window;
  const StartResult started = window.Create(WindowProps{}, EditProps{});
  if (started != StartResult::Ok) return static_cast<int>(started);
  window.Show();
  gtk_main();
  return 0;
}

}  // namespace notice::gtk
