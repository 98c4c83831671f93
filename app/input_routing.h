// Platform-neutral decisions about keys and focus: which keys the window
// takes before the focused control sees them, and which control gets the
// focus. A multi-line edit box claims every key it is offered, so these
// decisions must be made before a message is dispatched.
#pragma once

#include <cstddef>
#include <optional>

namespace notice {

enum class Key { Other, Escape, Tab, Enter };

struct Modifiers {
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
  bool any() const { return ctrl || shift || alt; }
};

enum class KeyAction {
  Dispatch,       // give the key to the focused control as usual
  Close,          // close the window
  FocusNext,      // move the focus to the next tab stop
  FocusPrevious,  // move the focus to the previous tab stop
};

// What the focused control claims for itself; the notice box claims only a
// plain Enter.
struct KeyClaims {
  bool plainEnter = true;
  bool plainEscape = false;
};

// A key press arriving for the window or one of its controls.
KeyAction RouteKeyDown(Key key, Modifiers mods, bool escCloses, KeyClaims focused);

// A character message: the tab character never reaches the box, since Tab
// and Shift+Tab are the window's.
bool SuppressCharacter(char32_t ch);

struct FocusCandidate {
  bool visible = true;
  bool enabled = true;
  bool tabStop = true;
  int tabOrder = 0;
};

// The control to focus when the window gains the focus: the one that had it
// when the window was last deactivated, if it can still take it, otherwise
// the visible, enabled tab stop with the smallest tab order.
std::optional<std::size_t> ChooseFocus(const FocusCandidate* controls, std::size_t count,
                                       std::optional<std::size_t> lastFocused);

// The next (or previous) tab stop from `current` in tab order, wrapping
// around; `current` itself when it is the only one.
std::optional<std::size_t> NextTabStop(const FocusCandidate* controls, std::size_t count,
                                       std::optional<std::size_t> current, bool forward);

}  // namespace notice
