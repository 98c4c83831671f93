#include "window_props.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace notice {

std::ostream& operator<<(std::ostream& os, const WindowStyles& s) {
  return os << std::hex << "{style 0x" << s.style << ", ex 0x" << s.exStyle << ", ex after 0x"
            << s.exStyleAfterCreate << ", no move " << s.removeMoveFromSystemMenu << "}";
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

TEST(StartRect, ManualPlacementUsesTheDesignRectangle) {
  WindowProps p;
  p.startPosition = StartPosition::Manual;
  EXPECT_EQ(StartRect(p, 1024, 768), (Rect{50, 50, 380, 250}));
}

}  // namespace
}  // namespace notice
