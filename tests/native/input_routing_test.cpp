#include "input_routing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace notice {
namespace {

struct KeyCase {
  std::string name;
  Key key;
  Modifiers mods;
  bool escCloses;
  KeyClaims claims;
  KeyAction expected;
};

class KeyRouting : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyRouting, DecidesBeforeDispatch) {
  const KeyCase& c = GetParam();
  EXPECT_EQ(RouteKeyDown(c.key, c.mods, c.escCloses, c.claims), c.expected);
}

constexpr Modifiers kNone{};
constexpr Modifiers kCtrl{true, false, false};
constexpr Modifiers kShift{false, true, false};
constexpr Modifiers kAlt{false, false, true};
constexpr KeyClaims kEditBox{};  // the box claims only a plain Enter
constexpr KeyClaims kClaimsEscape{true, true};

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyRouting,
    testing::ValuesIn(std::vector<KeyCase>{
        {"PlainEscCloses", Key::Escape, kNone, true, kEditBox, KeyAction::Close},
        {"CtrlEscIsNotClose", Key::Escape, kCtrl, true, kEditBox, KeyAction::Dispatch},
        {"ShiftEscIsNotClose", Key::Escape, kShift, true, kEditBox, KeyAction::Dispatch},
        {"AltEscIsNotClose", Key::Escape, kAlt, true, kEditBox, KeyAction::Dispatch},
        {"EscWhenClosingIsOff", Key::Escape, kNone, false, kEditBox, KeyAction::Dispatch},
        {"EscClaimedByControl", Key::Escape, kNone, true, kClaimsEscape, KeyAction::Dispatch},
        {"TabMovesFocusOn", Key::Tab, kNone, true, kEditBox, KeyAction::FocusNext},
        {"ShiftTabMovesFocusBack", Key::Tab, kShift, true, kEditBox, KeyAction::FocusPrevious},
        {"CtrlTabStillNeverReachesTheBox", Key::Tab, kCtrl, true, kEditBox, KeyAction::FocusNext},
        {"AltTabIsTheSystems", Key::Tab, kAlt, true, kEditBox, KeyAction::Dispatch},
        {"EnterReachesTheBox", Key::Enter, kNone, true, kEditBox, KeyAction::Dispatch},
        {"CtrlEnterReachesTheBox", Key::Enter, kCtrl, true, kEditBox, KeyAction::Dispatch},
        {"OtherKeysReachTheBox", Key::Other, kCtrl, true, kEditBox, KeyAction::Dispatch},
    }),
    [](const auto& row) { return row.param.name; });

TEST(CharacterRouting, OnlyTheTabCharacterIsKeptFromTheBox) {
  EXPECT_TRUE(SuppressCharacter(U'\t'));
  for (char32_t ch : {U'a', U'\r', U'\n', U'\x1b', U'\x08', U'中', U'\U0001F600'}) {
    EXPECT_FALSE(SuppressCharacter(ch)) << static_cast<unsigned>(ch);
  }
}

struct FocusCase {
  std::string name;
  std::vector<FocusCandidate> controls;
  std::optional<std::size_t> lastFocused;
  std::optional<std::size_t> expected;
};

class FocusChoice : public testing::TestWithParam<FocusCase> {};

TEST_P(FocusChoice, PicksTheControl) {
  const FocusCase& c = GetParam();
  EXPECT_EQ(ChooseFocus(c.controls.data(), c.controls.size(), c.lastFocused), c.expected);
}

constexpr FocusCandidate kStop{true, true, true, 0};
constexpr FocusCandidate kHidden{false, true, true, 0};
constexpr FocusCandidate kDisabled{true, false, true, 0};
constexpr FocusCandidate kNoStop{true, true, false, 0};
FocusCandidate Order(int n) { return {true, true, true, n}; }

INSTANTIATE_TEST_SUITE_P(
    Controls, FocusChoice,
    testing::ValuesIn(std::vector<FocusCase>{
        {"TheOnlyTabStop", {kStop}, std::nullopt, 0},
        {"SmallestTabOrderWins", {Order(2), Order(1), Order(3)}, std::nullopt, 1},
        {"TieGoesToTheFirst", {Order(1), Order(1)}, std::nullopt, 0},
        {"SkipsHiddenDisabledAndNonStops", {kHidden, kDisabled, kNoStop, Order(5)}, std::nullopt, 3},
        {"NothingFocusable", {kHidden, kDisabled}, std::nullopt, std::nullopt},
        {"NoControls", {}, std::nullopt, std::nullopt},
        {"LastFocusedComesBack", {Order(0), Order(1)}, 1, 1},
        {"LastFocusedNeedNotBeATabStop", {Order(0), kNoStop}, 1, 1},
        {"LastFocusedNowHiddenFallsBack", {Order(0), kHidden}, 1, 0},
        {"LastFocusedOutOfRangeFallsBack", {Order(0)}, 7, 0},
    }),
    [](const auto& row) { return row.param.name; });

struct TabCase {
  std::string name;
  std::vector<FocusCandidate> controls;
  std::optional<std::size_t> current;
  bool forward;
  std::optional<std::size_t> expected;
};

class TabOrder : public testing::TestWithParam<TabCase> {};

TEST_P(TabOrder, StepsAndWraps) {
  const TabCase& c = GetParam();
  EXPECT_EQ(NextTabStop(c.controls.data(), c.controls.size(), c.current, c.forward), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, TabOrder,
    testing::ValuesIn(std::vector<TabCase>{
        {"OnlyStopStaysForward", {kStop}, 0, true, 0},
        {"OnlyStopStaysBackward", {kStop}, 0, false, 0},
        {"ForwardByTabOrderNotPosition", {Order(2), Order(0), Order(1)}, 1, true, 2},
        {"ForwardWraps", {Order(2), Order(0), Order(1)}, 0, true, 1},
        {"BackwardWraps", {Order(2), Order(0), Order(1)}, 1, false, 0},
        {"BackwardSteps", {Order(2), Order(0), Order(1)}, 0, false, 2},
        {"SkipsNonStops", {Order(0), kNoStop, Order(2)}, 0, true, 2},
        {"FromNothingForwardTakesFirst", {Order(1), Order(0)}, std::nullopt, true, 1},
        {"FromNothingBackwardTakesLast", {Order(1), Order(0)}, std::nullopt, false, 0},
        {"FromANonStopGoesOnFromItsPlace", {Order(0), {true, true, false, 1}, Order(2)}, 1, true, 2},
        {"NoStops", {kHidden, kNoStop}, std::nullopt, true, std::nullopt},
    }),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace notice
