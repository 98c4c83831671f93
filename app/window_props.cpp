#include "window_props.h"

namespace notice {

WindowStyles MapWindowStyles(const WindowProps& p) {
  WindowStyles s;
  s.style = style::kOverlapped;  // an unowned top-level window, never a popup
  if (p.controlBox) s.style |= style::kCaption | style::kSysMenu;
  else if (p.border != BorderKind::None) s.style |= style::kBorder;
  if (p.border == BorderKind::Sizable) s.style |= style::kThickFrame;
  if (p.border == BorderKind::Sunken) s.exStyle |= style::kExClientEdge;
  if (p.minimizeBox) s.style |= style::kMinimizeBox;
  if (p.maximizeBox) s.style |= style::kMaximizeBox;
  if (p.visibleAtCreation) s.style |= style::kVisible;
  if (p.clipChildren) s.style |= style::kClipChildren;
  if (p.topMost) s.exStyle |= style::kExTopMost;
  s.removeMoveFromSystemMenu = !p.movable;
  return s;
}

WindowStyles MapEditStyles(const EditProps& p) {
  WindowStyles s;
  // Created hidden; the start-up shows it without activating it.
  s.style = style::kChild | style::kClipSiblings;
  if (p.tabStop) s.style |= style::kTabStop;
  if (!p.enabled) s.style |= style::kDisabled;
  if (p.border == BorderKind::FixedSingle) s.style |= style::kBorder;
  if (p.border == BorderKind::Sunken) s.exStyleAfterCreate |= style::kExClientEdge;

  if (p.multiLine) {
    s.style |= style::kEsMultiLine | style::kEsAutoVScroll | style::kEsWantReturn;
  }
  // Without a horizontal scroll bar a multi-line box wraps at its width; a
  // single-line box always scrolls sideways.
  const bool hScroll = p.scrollBars == ScrollBars::Horizontal || p.scrollBars == ScrollBars::Both;
  const bool vScroll = p.scrollBars == ScrollBars::Vertical || p.scrollBars == ScrollBars::Both;
  if (hScroll) s.style |= style::kHScroll;
  if (vScroll) s.style |= style::kVScroll;
  if (hScroll || !p.multiLine) s.style |= style::kEsAutoHScroll;

  switch (p.alignment) {
    case Alignment::Left: s.style |= style::kEsLeft; break;
    case Alignment::Center: s.style |= style::kEsCenter; break;
    case Alignment::Right: s.style |= style::kEsRight; break;
  }
  switch (p.inputMode) {
    case InputMode::Normal: break;
    case InputMode::ReadOnly: s.style |= style::kEsReadOnly; break;
    case InputMode::Password: s.style |= style::kEsPassword; break;
  }
  switch (p.caseConversion) {
    case CaseConversion::None: break;
    case CaseConversion::Lower: s.style |= style::kEsLowerCase; break;
    case CaseConversion::Upper: s.style |= style::kEsUpperCase; break;
  }
  if (!p.hideSelection) s.style |= style::kEsNoHideSel;
  return s;
}

Rect CenterOnScreen(int screenWidth, int screenHeight, int width, int height) {
  // C++ integer division truncates toward zero, as required for narrow screens.
  return Rect{(screenWidth - width) / 2, (screenHeight - height) / 2, width, height};
}

Rect StartRect(const WindowProps& p, int screenWidth, int screenHeight) {
  if (p.startPosition == StartPosition::Manual) return p.design;
  return CenterOnScreen(screenWidth, screenHeight, p.design.width, p.design.height);
}

Rect ClientRect(const Rect& outer, const FrameInsets& frame) {
  return Rect{outer.left + frame.left, outer.top + frame.top,
              outer.width - frame.left - frame.right, outer.height - frame.top - frame.bottom};
}

Rect StartClientRect(const WindowProps& p, int screenWidth, int screenHeight) {
  return ClientRect(StartRect(p, screenWidth, screenHeight), kClassicFixedFrame);
}

FrameAbilities MapFrameAbilities(const WindowProps& p) {
  // As with the styles: the minimize and maximize boxes and Close live on the
  // caption, and only a sizable border lets the user resize.
  FrameAbilities a;
  a.caption = p.controlBox;
  a.move = p.movable;
  a.resize = p.border == BorderKind::Sizable;
  a.minimize = p.controlBox && p.minimizeBox;
  a.maximize = p.controlBox && p.maximizeBox;
  a.close = p.controlBox;
  return a;
}

}  // namespace notice
