// Platform-neutral description of the notice window and its text box, and
// the fixed mapping from those records to native window styles. No
// <windows.h> here: this compiles and is tested on any host.
#pragma once

#include <cstdint>

namespace notice {

// Colours are 0xRRGGBB; this value means "the system's button-face colour".
inline constexpr std::uint32_t kSystemColor = 0xFF000000u;

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  friend bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width &&
           a.height == b.height;
  }
};

enum class BorderKind { None, FixedSingle, Sizable, Sunken };
enum class StartPosition { Manual, CenterScreen };
enum class ScrollBars { None, Horizontal, Vertical, Both };
enum class Alignment { Left, Center, Right };
enum class InputMode { Normal, ReadOnly, Password };
enum class CaseConversion { None, Lower, Upper };

struct WindowProps {
  const char* caption = "";
  BorderKind border = BorderKind::FixedSingle;
  bool controlBox = true;
  bool maximizeBox = false;
  bool minimizeBox = true;
  bool movable = true;
  bool escCloses = true;
  bool visibleAtCreation = false;
  StartPosition startPosition = StartPosition::CenterScreen;
  Rect design{50, 50, 380, 250};  // outer frame; left/top unused when centred
  std::uint32_t background = kSystemColor;
  bool topMost = false;
  bool clipChildren = true;
};

struct EditProps {
  Rect bounds{40, 64, 304, 112};  // in the parent's client area
  bool visible = true;
  bool enabled = true;
  bool tabStop = true;
  int tabOrder = 0;
  BorderKind border = BorderKind::Sunken;
  std::uint32_t textColor = 0x000000;
  std::uint32_t background = 0xFFFFFF;
  bool multiLine = true;
  ScrollBars scrollBars = ScrollBars::None;
  Alignment alignment = Alignment::Left;
  InputMode inputMode = InputMode::Normal;
  CaseConversion caseConversion = CaseConversion::None;
  bool hideSelection = true;
  unsigned maxLength = 0;  // 0: the control's own maximum
  int selectionStart = 0;
  int selectionLength = 0;
  int controlId = 100;
};

// Style bits as the platform documents them. The Win32 layer checks every
// value against the toolchain's headers at compile time.
namespace style {
inline constexpr std::uint32_t kOverlapped = 0x00000000u;
inline constexpr std::uint32_t kPopup = 0x80000000u;
inline constexpr std::uint32_t kChild = 0x40000000u;
inline constexpr std::uint32_t kVisible = 0x10000000u;
inline constexpr std::uint32_t kClipSiblings = 0x04000000u;
inline constexpr std::uint32_t kClipChildren = 0x02000000u;
inline constexpr std::uint32_t kCaption = 0x00C00000u;
inline constexpr std::uint32_t kBorder = 0x00800000u;
inline constexpr std::uint32_t kVScroll = 0x00200000u;
inline constexpr std::uint32_t kHScroll = 0x00100000u;
inline constexpr std::uint32_t kSysMenu = 0x00080000u;
inline constexpr std::uint32_t kThickFrame = 0x00040000u;
inline constexpr std::uint32_t kTabStop = 0x00010000u;
inline constexpr std::uint32_t kMinimizeBox = 0x00020000u;
inline constexpr std::uint32_t kMaximizeBox = 0x00010000u;
inline constexpr std::uint32_t kDisabled = 0x08000000u;

inline constexpr std::uint32_t kExTopMost = 0x00000008u;
inline constexpr std::uint32_t kExClientEdge = 0x00000200u;

inline constexpr std::uint32_t kEsLeft = 0x0000u;
inline constexpr std::uint32_t kEsCenter = 0x0001u;
inline constexpr std::uint32_t kEsRight = 0x0002u;
inline constexpr std::uint32_t kEsMultiLine = 0x0004u;
inline constexpr std::uint32_t kEsUpperCase = 0x0008u;
inline constexpr std::uint32_t kEsLowerCase = 0x0010u;
inline constexpr std::uint32_t kEsPassword = 0x0020u;
inline constexpr std::uint32_t kEsAutoVScroll = 0x0040u;
inline constexpr std::uint32_t kEsAutoHScroll = 0x0080u;
inline constexpr std::uint32_t kEsNoHideSel = 0x0100u;
inline constexpr std::uint32_t kEsReadOnly = 0x0800u;
inline constexpr std::uint32_t kEsWantReturn = 0x1000u;
}  // namespace style

struct WindowStyles {
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;  // given to the create call
  // Extended style added once the control exists (the sunken edge).
  std::uint32_t exStyleAfterCreate = 0;
  // The system menu loses its Move item (SC_MOVE) when the window is not movable.
  bool removeMoveFromSystemMenu = false;

  friend bool operator==(const WindowStyles& a, const WindowStyles& b) {
    return a.style == b.style && a.exStyle == b.exStyle &&
           a.exStyleAfterCreate == b.exStyleAfterCreate &&
           a.removeMoveFromSystemMenu == b.removeMoveFromSystemMenu;
  }
};

WindowStyles MapWindowStyles(const WindowProps& props);
WindowStyles MapEditStyles(const EditProps& props);

// Outer rectangle of a window of the given size centred on a screen; the
// halving rounds toward zero, so a screen narrower than the window gives a
// negative left edge.
Rect CenterOnScreen(int screenWidth, int screenHeight, int width, int height);

// Where the window's outer rectangle goes on this screen.
Rect StartRect(const WindowProps& props, int screenWidth, int screenHeight);

// What the frame takes from each side of a window's outer rectangle.
struct FrameInsets {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// The classic fixed frame the window is designed for: a 3-pixel border, and
// on top the caption with the border above it, 22 pixels in all.
inline constexpr FrameInsets kClassicFixedFrame{3, 22, 3, 3};

// The client (content) area that a frame with these insets leaves of an
// outer rectangle, in the same coordinates as the outer one.
Rect ClientRect(const Rect& outer, const FrameInsets& frame);

// Where the client area goes on this screen when the outer frame is placed
// by StartRect: a toolkit that lets a window manager draw the frame places
// the content here, so that it sits where it would inside the classic frame.
Rect StartClientRect(const WindowProps& props, int screenWidth, int screenHeight);

// What a window manager may offer for the window, and which frame buttons it
// draws: the same switches as the window styles, for toolkits that speak to
// a window manager instead of drawing the frame themselves.
struct FrameAbilities {
  bool caption = false;  // a title bar with the window menu
  bool move = false;
  bool resize = false;
  bool minimize = false;
  bool maximize = false;
  bool close = false;

  friend bool operator==(const FrameAbilities& a, const FrameAbilities& b) {
    return a.caption == b.caption && a.move == b.move && a.resize == b.resize &&
           a.minimize == b.minimize && a.maximize == b.maximize && a.close == b.close;
  }
};

FrameAbilities MapFrameAbilities(const WindowProps& props);

}  // namespace notice
