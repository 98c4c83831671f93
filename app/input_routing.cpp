#include "input_routing.h"

namespace notice {

KeyAction RouteKeyDown(Key key, Modifiers mods, bool escCloses, KeyClaims focused) {
  switch (key) {
    case Key::Escape:
      if (mods.any() || focused.plainEscape || !escCloses) return KeyAction::Dispatch;
      return KeyAction::Close;
    case Key::Tab:
      // Alt+Tab belongs to the system; every other Tab moves the focus.
      if (mods.alt) return KeyAction::Dispatch;
      return mods.shift ? KeyAction::FocusPrevious : KeyAction::FocusNext;
    case Key::Enter:
    case Key::Other:
      break;
  }
  return KeyAction::Dispatch;
}

bool SuppressCharacter(char32_t ch) { return ch == U'\t'; }

namespace {

bool CanFocus(const FocusCandidate& c) { return c.visible && c.enabled && c.tabStop; }

// Tab order, ties broken by position, as one comparable key.
bool Before(const FocusCandidate* c, std::size_t a, std::size_t b) {
  return c[a].tabOrder < c[b].tabOrder || (c[a].tabOrder == c[b].tabOrder && a < b);
}

}  // namespace

std::optional<std::size_t> ChooseFocus(const FocusCandidate* controls, std::size_t count,
                                       std::optional<std::size_t> lastFocused) {
  if (lastFocused && *lastFocused < count && controls[*lastFocused].visible &&
      controls[*lastFocused].enabled) {
    return lastFocused;
  }
  std::optional<std::size_t> best;
  for (std::size_t i = 0; i < count; ++i) {
    if (CanFocus(controls[i]) && (!best || Before(controls, i, *best))) best = i;
  }
  return best;
}

std::optional<std::size_t> NextTabStop(const FocusCandidate* controls, std::size_t count,
                                       std::optional<std::size_t> current, bool forward) {
  // Without allocating: the nearest tab stop after (or before) the current one
  // in tab order, else the first (or last) one, which wraps around.
  std::optional<std::size_t> nearest, extreme;
  for (std::size_t i = 0; i < count; ++i) {
    if (!CanFocus(controls[i])) continue;
    const auto ahead = [&](std::size_t a, std::size_t b) {
      return forward ? Before(controls, a, b) : Before(controls, b, a);
    };
    if (!extreme || ahead(i, *extreme)) extreme = i;
    if (current && *current < count && ahead(*current, i) && (!nearest || ahead(i, *nearest))) {
      nearest = i;
    }
  }
  return nearest ? nearest : extreme;
}

}  // namespace notice
