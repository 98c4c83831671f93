#include "window_props.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace notice {

std::ostream& operator<<(std::ostream& os, const WindowStyles& s) {
  return os << std::hex << "{style 0x" << s.style << ", ex 0x" << s.exStyle << ", ex after 0x"
            << s.exStyleAfterCreate << ", no move " << s.removeMoveFromSystemMenu << "}";
}

std::ostream& operator<<(std::ostream& os, const FrameAbilities& a) {
  return os << "{caption " << a.caption << ", move " << a.move << ", resize " << a.resize
            << ", minimize " << a.minimize << ", maximize " << a.maximize << ", close "
            << a.close << "}";
}

std::ostream& operator<<(std::ostream& os, const Rect& r) {
  return os << "{" << r.left << ", " << r.top << ", " << r.width << " x " << r.height << "}";
}

namespace {

using namespace style;

struct WindowCase {
  std::string name;
  WindowProps props;
  WindowStyles expected;
};

WindowProps With(void (*change)(WindowProps&)) {
  WindowProps p;
  change(p);
  return p;
}

class WindowStyleMapping : public testing::TestWithParam<WindowCase> {};

TEST_P(WindowStyleMapping, GivesTheNativeStyles) {
  EXPECT_EQ(MapWindowStyles(GetParam().props), GetParam().expected);
}

constexpr std::uint32_t kNoticeWindowStyle = kCaption | kSysMenu | kMinimizeBox | kClipChildren;

INSTANTIATE_TEST_SUITE_P(
    Records, WindowStyleMapping,
    testing::ValuesIn(std::vector<WindowCase>{
        {"NoticeWindowDefaults", WindowProps{}, {kNoticeWindowStyle, 0, 0, false}},
        {"MaximizeBoxOn", With([](WindowProps& p) { p.maximizeBox = true; }),
         {kNoticeWindowStyle | kMaximizeBox, 0, 0, false}},
        {"MinimizeBoxOff", With([](WindowProps& p) { p.minimizeBox = false; }),
         {kCaption | kSysMenu | kClipChildren, 0, 0, false}},
        {"SizableBorder", With([](WindowProps& p) { p.border = BorderKind::Sizable; }),
         {kNoticeWindowStyle | kThickFrame, 0, 0, false}},
        {"NoControlBoxKeepsThinBorder", With([](WindowProps& p) { p.controlBox = false; }),
         {kBorder | kMinimizeBox | kClipChildren, 0, 0, false}},
        {"NotMovableLosesMove", With([](WindowProps& p) { p.movable = false; }),
         {kNoticeWindowStyle, 0, 0, true}},
        {"TopMost", With([](WindowProps& p) { p.topMost = true; }),
         {kNoticeWindowStyle, kExTopMost, 0, false}},
        {"VisibleAtCreation", With([](WindowProps& p) { p.visibleAtCreation = true; }),
         {kNoticeWindowStyle | kVisible, 0, 0, false}},
        {"NoChildClipping", With([](WindowProps& p) { p.clipChildren = false; }),
         {kCaption | kSysMenu | kMinimizeBox, 0, 0, false}},
    }),
    [](const auto& row) { return row.param.name; });

struct EditCase {
  std::string name;
  EditProps props;
  WindowStyles expected;
};

EditProps WithEdit(void (*change)(EditProps&)) {
  EditProps p;
  change(p);
  return p;
}

class EditStyleMapping : public testing::TestWithParam<EditCase> {};

TEST_P(EditStyleMapping, GivesTheNativeStyles) {
  EXPECT_EQ(MapEditStyles(GetParam().props), GetParam().expected);
}

constexpr std::uint32_t kNoticeEditStyle =
    kChild | kClipSiblings | kTabStop | kEsMultiLine | kEsAutoVScroll | kEsWantReturn;

INSTANTIATE_TEST_SUITE_P(
    Records, EditStyleMapping,
    testing::ValuesIn(std::vector<EditCase>{
        // Hidden at creation, no extended style until the sunken edge is added.
        {"NoticeEditDefaults", EditProps{}, {kNoticeEditStyle, 0, kExClientEdge, false}},
        {"NoTabStop", WithEdit([](EditProps& p) { p.tabStop = false; }),
         {kNoticeEditStyle & ~kTabStop, 0, kExClientEdge, false}},
        {"Disabled", WithEdit([](EditProps& p) { p.enabled = false; }),
         {kNoticeEditStyle | kDisabled, 0, kExClientEdge, false}},
        {"FixedBorderIsWsBorder", WithEdit([](EditProps& p) { p.border = BorderKind::FixedSingle; }),
         {kNoticeEditStyle | kBorder, 0, 0, false}},
        {"NoBorder", WithEdit([](EditProps& p) { p.border = BorderKind::None; }),
         {kNoticeEditStyle, 0, 0, false}},
        {"SingleLineScrollsSideways", WithEdit([](EditProps& p) { p.multiLine = false; }),
         {kChild | kClipSiblings | kTabStop | kEsAutoHScroll, 0, kExClientEdge, false}},
        {"VerticalScrollBar", WithEdit([](EditProps& p) { p.scrollBars = ScrollBars::Vertical; }),
         {kNoticeEditStyle | kVScroll, 0, kExClientEdge, false}},
        {"BothScrollBarsStopWrapping", WithEdit([](EditProps& p) { p.scrollBars = ScrollBars::Both; }),
         {kNoticeEditStyle | kVScroll | kHScroll | kEsAutoHScroll, 0, kExClientEdge, false}},
        {"Centered", WithEdit([](EditProps& p) { p.alignment = Alignment::Center; }),
         {kNoticeEditStyle | kEsCenter, 0, kExClientEdge, false}},
        {"RightAligned", WithEdit([](EditProps& p) { p.alignment = Alignment::Right; }),
         {kNoticeEditStyle | kEsRight, 0, kExClientEdge, false}},
        {"ReadOnly", WithEdit([](EditProps& p) { p.inputMode = InputMode::ReadOnly; }),
         {kNoticeEditStyle | kEsReadOnly, 0, kExClientEdge, false}},
        {"Password", WithEdit([](EditProps& p) { p.inputMode = InputMode::Password; }),
         {kNoticeEditStyle | kEsPassword, 0, kExClientEdge, false}},
        {"UpperCase", WithEdit([](EditProps& p) { p.caseConversion = CaseConversion::Upper; }),
         {kNoticeEditStyle | kEsUpperCase, 0, kExClientEdge, false}},
        {"LowerCase", WithEdit([](EditProps& p) { p.caseConversion = CaseConversion::Lower; }),
         {kNoticeEditStyle | kEsLowerCase, 0, kExClientEdge, false}},
        {"SelectionAlwaysShown", WithEdit([](EditProps& p) { p.hideSelection = false; }),
         {kNoticeEditStyle | kEsNoHideSel, 0, kExClientEdge, false}},
    }),
    [](const auto& row) { return row.param.name; });

TEST(NoticeRecords, HoldTheFixedDefaults) {
  const WindowProps w;
  EXPECT_STREQ(w.caption, "");
  EXPECT_EQ(w.design, (Rect{50, 50, 380, 250}));
  EXPECT_EQ(w.startPosition, StartPosition::CenterScreen);
  EXPECT_EQ(w.background, kSystemColor);
  EXPECT_TRUE(w.escCloses);

  const EditProps e;
  EXPECT_EQ(e.bounds, (Rect{40, 64, 304, 112}));
  EXPECT_EQ(e.textColor, 0x000000u);
  EXPECT_EQ(e.background, 0xFFFFFFu);
  EXPECT_EQ(e.maxLength, 0u);
  EXPECT_EQ(e.selectionStart, 0);
  EXPECT_EQ(e.selectionLength, 0);
  EXPECT_EQ(e.tabOrder, 0);
  EXPECT_EQ(e.controlId, 100);
}

struct ScreenCase {
  std::string name;
  int screenWidth, screenHeight;
  Rect expected;
};

class Centring : public testing::TestWithParam<ScreenCase> {};

TEST_P(Centring, PlacesTheOuterFrame) {
  const ScreenCase& c = GetParam();
  const Rect r = StartRect(WindowProps{}, c.screenWidth, c.screenHeight);
  EXPECT_EQ(r.left, c.expected.left);
  EXPECT_EQ(r.top, c.expected.top);
  EXPECT_EQ(r.width, c.expected.width);
  EXPECT_EQ(r.height, c.expected.height);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, Centring,
    testing::ValuesIn(std::vector<ScreenCase>{
        {"Screen1024x768", 1024, 768, {322, 259, 380, 250}},
        {"OddScreenRoundsDown", 1025, 769, {322, 259, 380, 250}},
        {"NarrowScreenGivesNegativeLeft", 300, 400, {-40, 75, 380, 250}},
        {"NarrowOddScreenRoundsTowardZero", 301, 249, {-39, 0, 380, 250}},
        {"ShortScreen", 1024, 200, {322, -25, 380, 250}},
        {"ExactFit", 380, 250, {0, 0, 380, 250}},
        {"FullHd", 1920, 1080, {770, 415, 380, 250}},
    }),
    [](const auto& row) { return row.param.name; });

struct ClientCase {
  std::string name;
  Rect outer;
  FrameInsets frame;
  Rect expected;
};

class ClientArea : public testing::TestWithParam<ClientCase> {};

TEST_P(ClientArea, IsTheOuterRectangleLessTheFrame) {
  const ClientCase& c = GetParam();
  EXPECT_EQ(ClientRect(c.outer, c.frame), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, ClientArea,
    testing::ValuesIn(std::vector<ClientCase>{
        {"NoticeWindowInTheClassicFrame", {322, 259, 380, 250}, kClassicFixedFrame,
         {325, 281, 374, 225}},
        {"NegativeOuterLeft", {-40, 75, 380, 250}, kClassicFixedFrame, {-37, 97, 374, 225}},
        {"NoFrame", {1, 2, 30, 40}, FrameInsets{}, {1, 2, 30, 40}},
        {"UnevenFrame", {0, 0, 100, 50}, {1, 20, 2, 3}, {1, 20, 97, 27}},
    }),
    [](const auto& row) { return row.param.name; });

TEST(StartClientRect, IsTheCentredFramesClientArea) {
  // The content stands where it would inside the classic frame centred by
  // StartRect, for the screens the window tests use.
  const std::pair<int, int> screens[] = {{1024, 768}, {1025, 769}, {300, 400}, {301, 400}};
  for (const auto& [w, h] : screens) {
    EXPECT_EQ(StartClientRect(WindowProps{}, w, h),
              ClientRect(StartRect(WindowProps{}, w, h), kClassicFixedFrame))
        << w << "x" << h;
  }
  EXPECT_EQ(StartClientRect(WindowProps{}, 1024, 768), (Rect{325, 281, 374, 225}));
  EXPECT_EQ(StartClientRect(WindowProps{}, 300, 400), (Rect{-37, 97, 374, 225}));
}

struct AbilityCase {
  std::string name;
  WindowProps props;
  FrameAbilities expected;  // caption, move, resize, minimize, maximize, close
};

class FrameAbilityMapping : public testing::TestWithParam<AbilityCase> {};

TEST_P(FrameAbilityMapping, OffersWhatTheStylesWouldShow) {
  EXPECT_EQ(MapFrameAbilities(GetParam().props), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Records, FrameAbilityMapping,
    testing::ValuesIn(std::vector<AbilityCase>{
        {"NoticeWindowDefaults", WindowProps{}, {true, true, false, true, false, true}},
        {"MaximizeBoxOn", With([](WindowProps& p) { p.maximizeBox = true; }),
         {true, true, false, true, true, true}},
        {"MinimizeBoxOff", With([](WindowProps& p) { p.minimizeBox = false; }),
         {true, true, false, false, false, true}},
        {"SizableBorder", With([](WindowProps& p) { p.border = BorderKind::Sizable; }),
         {true, true, true, true, false, true}},
        {"NotMovable", With([](WindowProps& p) { p.movable = false; }),
         {true, false, false, true, false, true}},
        // The boxes sit on the caption: without a control box there are none.
        {"NoControlBox", With([](WindowProps& p) { p.controlBox = false; p.maximizeBox = true; }),
         {false, true, false, false, false, false}},
    }),
    [](const auto& row) { return row.param.name; });

TEST(StartRect, ManualPlacementUsesTheDesignRectangle) {
  WindowProps p;
  p.startPosition = StartPosition::Manual;
  EXPECT_EQ(StartRect(p, 1024, 768), (Rect{50, 50, 380, 250}));
}

}  // namespace
}  // namespace notice
