#include "notice_window.h"

#include <array>

#include "input_routing.h"
#include "notice_text.h"
#include "resource_ids.h"

namespace notice {

// The neutral style table must agree with the platform's own values.
static_assert(style::kOverlapped == WS_OVERLAPPED && style::kPopup == WS_POPUP &&
              style::kChild == WS_CHILD && style::kVisible == WS_VISIBLE &&
              style::kClipSiblings == WS_CLIPSIBLINGS && style::kClipChildren == WS_CLIPCHILDREN &&
              style::kCaption == WS_CAPTION && style::kBorder == WS_BORDER &&
              style::kVScroll == WS_VSCROLL && style::kHScroll == WS_HSCROLL &&
              style::kSysMenu == WS_SYSMENU && style::kThickFrame == WS_THICKFRAME &&
              style::kTabStop == WS_TABSTOP && style::kMinimizeBox == WS_MINIMIZEBOX &&
              style::kMaximizeBox == WS_MAXIMIZEBOX && style::kDisabled == WS_DISABLED);
static_assert(style::kExTopMost == WS_EX_TOPMOST && style::kExClientEdge == WS_EX_CLIENTEDGE);
static_assert(style::kEsLeft == ES_LEFT && style::kEsCenter == ES_CENTER &&
              style::kEsRight == ES_RIGHT && style::kEsMultiLine == ES_MULTILINE &&
              style::kEsUpperCase == ES_UPPERCASE && style::kEsLowerCase == ES_LOWERCASE &&
              style::kEsPassword == ES_PASSWORD && style::kEsAutoVScroll == ES_AUTOVSCROLL &&
              style::kEsAutoHScroll == ES_AUTOHSCROLL && style::kEsNoHideSel == ES_NOHIDESEL &&
              style::kEsReadOnly == ES_READONLY && style::kEsWantReturn == ES_WANTRETURN);

namespace {

// Set while CreateWindowEx runs: WM_GETMINMAXINFO arrives before
// WM_NCCREATE, so the window must be attached on its very first message.
NoticeWindow* g_creating = nullptr;
int g_liveWindows = 0;

COLORREF ToColorRef(std::uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

bool RegisterClassOnce(HINSTANCE instance, WNDPROC windowProc) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, kNoticeWindowClass, &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = windowProc;
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  wc.lpszClassName = kNoticeWindowClass;
  return RegisterClassExW(&wc) != 0;
}

// The program icon at both window-icon sizes, loaded on first use and kept
// until the process ends.
struct ProgramIcons {
  unique_hicon big;
  unique_hicon small;
};

ProgramIcons g_icons;  // constant-initialised: no start-up code, no guard
bool g_iconsLoaded = false;

const ProgramIcons& Icons(HINSTANCE instance) {
  if (!g_iconsLoaded) {
    g_iconsLoaded = true;
    const auto load = [instance](int size) {
      return unique_hicon(static_cast<HICON>(
          LoadImageW(instance, NOTICE_ICON_NAME_W, IMAGE_ICON, size, size, 0)));
    };
    g_icons.big = load(32);
    g_icons.small = load(16);
  }
  return g_icons;
}

// The notice arrives as code page 936 bytes; the box gets them through the
// Unicode functions so that it reads right whatever the system's ANSI code
// page is. Should the converter be missing, the same text comes from UTF-8.
template <std::size_t N>
bool DecodeNoticeText(std::array<wchar_t, N>& out) {
  return DecodeNotice([&out](std::string_view bytes, TextEncoding encoding) {
    const UINT codePage = encoding == TextEncoding::Cp936 ? 936 : CP_UTF8;
    const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                      static_cast<int>(bytes.size()), out.data(),
                                      static_cast<int>(out.size() - 1));
    if (n <= 0) return false;
    out[static_cast<std::size_t>(n)] = L'\0';
    return true;
  });
}

Key ToKey(WPARAM vk) {
  switch (vk) {
    case VK_ESCAPE: return Key::Escape;
    case VK_TAB: return Key::Tab;
    case VK_RETURN: return Key::Enter;
    default: return Key::Other;
  }
}

// The modifier state as of the message being processed.
Modifiers CurrentModifiers() {
  return Modifiers{GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0,
                   GetKeyState(VK_MENU) < 0};
}

}  // namespace

CreateResult NoticeWindow::Create(HINSTANCE instance, const WindowProps& props,
                                  const EditProps& edit) {
  props_ = props;
  editProps_ = edit;
  if (!RegisterClassOnce(instance, WindowProc)) return CreateResult::ClassFailed;

  // Step 1: where the outer frame goes.
  const Rect r = StartRect(props, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  const WindowStyles styles = MapWindowStyles(props);

  // Step 2: the window itself, hidden.
  wchar_t caption[256] = L"";
  MultiByteToWideChar(CP_UTF8, 0, props.caption, -1, caption, static_cast<int>(std::size(caption)));
  g_creating = this;
  HWND hwnd = CreateWindowExW(styles.exStyle, kNoticeWindowClass, caption, styles.style, r.left,
                              r.top, r.width, r.height, nullptr, nullptr, instance, nullptr);
  g_creating = nullptr;
  if (!hwnd) {
    window_.release();  // attached and then destroyed during the failed call
    return CreateResult::WindowFailed;
  }
  RECT outer{};
  GetWindowRect(hwnd, &outer);
  if (outer.right - outer.left != r.width || outer.bottom - outer.top != r.height) {
    MoveWindow(hwnd, r.left, r.top, r.width, r.height, TRUE);
  }
  if (styles.removeMoveFromSystemMenu) {
    DeleteMenu(GetSystemMenu(hwnd, FALSE), SC_MOVE, MF_BYCOMMAND);
  }

  // Steps 3 and 4: icons and font.
  const ProgramIcons& icons = Icons(instance);
  if (icons.big) SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons.big.get()));
  if (icons.small) {
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons.small.get()));
  }
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);

  // Step 5: the text box.
  if (!CreateEdit(instance)) {
    window_.reset();  // nothing may be left behind
    return CreateResult::ControlFailed;
  }
  return CreateResult::Ok;
}

bool NoticeWindow::CreateEdit(HINSTANCE instance) {
  std::array<wchar_t, kNoticeGbk.size()> text{};  // never more characters than bytes
  if (!DecodeNoticeText(text)) return false;

  const WindowStyles styles = MapEditStyles(editProps_);
  const Rect& b = editProps_.bounds;
  edit_ = CreateWindowExW(styles.exStyle, L"EDIT", text.data(), styles.style, b.left, b.top,
                          b.width, b.height, hwnd(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(editProps_.controlId)),
                          instance, nullptr);
  if (!edit_) return false;

  SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  SendMessageW(edit_, EM_LIMITTEXT, editProps_.maxLength, 0);
  const int start = editProps_.selectionStart;
  SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(start),
               static_cast<LPARAM>(start + editProps_.selectionLength));
  SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
  if (styles.exStyleAfterCreate) {
    const LONG_PTR ex = GetWindowLongPtrW(edit_, GWL_EXSTYLE);
    SetWindowLongPtrW(edit_, GWL_EXSTYLE, ex | static_cast<LONG_PTR>(styles.exStyleAfterCreate));
    // The new edge changes the non-client area; have it measured again.
    SetWindowPos(edit_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  editBrush_.reset(CreateSolidBrush(ToColorRef(editProps_.background)));
  return true;
}

void NoticeWindow::Show() {
  if (editProps_.visible) ShowWindow(edit_, SW_SHOWNA);
  ShowWindow(hwnd(), SW_SHOW);
}

bool NoticeWindow::PreTranslate(const MSG& msg) {
  HWND hwnd = this->hwnd();
  if (!hwnd || (msg.hwnd != hwnd && !IsChild(hwnd, msg.hwnd))) return false;
  if (msg.message == WM_CHAR) return SuppressCharacter(static_cast<char32_t>(msg.wParam));
  if (msg.message != WM_KEYDOWN) return false;

  const KeyClaims claims = GetFocus() == edit_ ? KeyClaims{} : KeyClaims{false, false};
  switch (RouteKeyDown(ToKey(msg.wParam), CurrentModifiers(), props_.escCloses, claims)) {
    case KeyAction::Dispatch: return false;
    case KeyAction::Close: SendMessageW(hwnd, WM_CLOSE, 0, 0); return true;
    case KeyAction::FocusNext: MoveFocus(true); return true;
    case KeyAction::FocusPrevious: MoveFocus(false); return true;
  }
  return false;
}

FocusCandidate NoticeWindow::FocusState() const {
  const LONG_PTR style = GetWindowLongPtrW(edit_, GWL_STYLE);
  return FocusCandidate{IsWindowVisible(edit_) != FALSE, IsWindowEnabled(edit_) != FALSE,
                        (style & WS_TABSTOP) != 0, editProps_.tabOrder};
}

std::optional<std::size_t> NoticeWindow::ControlIndex(HWND control) const {
  return control && control == edit_ ? std::optional<std::size_t>(0) : std::nullopt;
}

void NoticeWindow::MoveFocus(bool forward) {
  const FocusCandidate controls[] = {FocusState()};
  if (NextTabStop(controls, std::size(controls), ControlIndex(GetFocus()), forward)) SetFocus(edit_);
}

LRESULT CALLBACK NoticeWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<NoticeWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self && g_creating) {
    self = g_creating;
    self->window_.reset(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    ++g_liveWindows;
  }
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT NoticeWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: return OnPaint();
    case WM_ERASEBKGND: return 1;  // WM_PAINT fills everything; erasing would flicker
    case WM_SETFONT: return OnSetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam));
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_GETMINMAXINFO: return OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_ACTIVATE: return OnActivate(wParam, lParam);
    case WM_SETFOCUS: return OnSetFocus();
    case WM_CTLCOLOREDIT: return OnCtlColorEdit(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DESTROY: return OnDestroy();
    case WM_NCDESTROY: return OnNcDestroy(wParam, lParam);
    default: return DefWindowProcW(hwnd(), message, wParam, lParam);
  }
}

LRESULT NoticeWindow::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd(), &ps);
  if (dc) {
    HBRUSH brush = GetSysColorBrush(COLOR_BTNFACE);
    if (props_.background != kSystemColor) {
      if (!backgroundBrush_) backgroundBrush_.reset(CreateSolidBrush(ToColorRef(props_.background)));
      brush = backgroundBrush_.get();
    }
    FillRect(dc, &ps.rcPaint, brush);
    EndPaint(hwnd(), &ps);
  }
  return 0;
}

LRESULT NoticeWindow::OnSetFont(HFONT font, BOOL redraw) {
  font_ = font;
  if (redraw) InvalidateRect(hwnd(), nullptr, TRUE);
  return 0;
}

LRESULT NoticeWindow::OnGetMinMaxInfo(MINMAXINFO* info) {
  // A captioned window is clamped to the maximum tracking size, which on a
  // screen narrower than the window is smaller than the window: allow the
  // window's own size everywhere.
  DefWindowProcW(hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(info));
  if (info->ptMaxTrackSize.x < props_.design.width) info->ptMaxTrackSize.x = props_.design.width;
  if (info->ptMaxTrackSize.y < props_.design.height) info->ptMaxTrackSize.y = props_.design.height;
  return 0;
}

LRESULT NoticeWindow::OnActivate(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd(), focus)) lastFocus_ = focus;
  }
  return DefWindowProcW(hwnd(), WM_ACTIVATE, wParam, lParam);
}

LRESULT NoticeWindow::OnSetFocus() {
  const FocusCandidate controls[] = {FocusState()};
  if (edit_ && ChooseFocus(controls, std::size(controls), ControlIndex(lastFocus_))) SetFocus(edit_);
  return 0;
}

LRESULT NoticeWindow::OnCtlColorEdit(HDC dc, HWND control) {
  if (control != edit_ || !editBrush_) {
    return DefWindowProcW(hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(control));
  }
  SetTextColor(dc, ToColorRef(editProps_.textColor));
  SetBkColor(dc, ToColorRef(editProps_.background));
  return reinterpret_cast<LRESULT>(editBrush_.get());
}

LRESULT NoticeWindow::OnDestroy() {
  edit_ = nullptr;
  lastFocus_ = nullptr;
  return 0;
}

LRESULT NoticeWindow::OnNcDestroy(WPARAM wParam, LPARAM lParam) {
  HWND hwnd = window_.release();  // the system is destroying it already
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  // The program's last window is gone: end the loop, if it has started.
  if (--g_liveWindows == 0 && quitWhenDestroyed_) PostQuitMessage(0);
  return DefWindowProcW(hwnd, WM_NCDESTROY, wParam, lParam);
}

}  // namespace notice
