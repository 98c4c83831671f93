// The real notice.exe, started as its own process and driven from outside
// with real messages, as a user's input would reach it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "wine_test_support.h"

namespace notice {
namespace {

using testing::Box;
using testing::ChildBox;
using testing::CloseCase;
using testing::ExpectedNotice;
using testing::OuterBox;
using testing::PostChar;
using testing::PostKey;
using testing::Program;
using testing::WindowText;

TEST(RealProgram, WindowStylesAreExactlyTheRecordsOnes) {
  Program p;
  ASSERT_TRUE(p.ready());
  // The system itself adds WS_CLIPSIBLINGS to every top-level window and
  // WS_EX_WINDOWEDGE to a captioned one.
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(p.window(), GWL_STYLE)),
            static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN |
                               WS_CLIPSIBLINGS | WS_VISIBLE));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(p.window(), GWL_EXSTYLE)) & ~static_cast<DWORD>(WS_EX_WINDOWEDGE), 0u);
  EXPECT_EQ(GetWindow(p.window(), GW_OWNER), nullptr);
  EXPECT_EQ(GetParent(p.window()), nullptr);
  EXPECT_EQ(WindowText(p.window()), L"");
}

TEST(RealProgram, BoxStylesAreExactlyTheRecordsOnes) {
  Program p;
  ASSERT_TRUE(p.ready());
  wchar_t cls[16] = L"";
  GetClassNameW(p.edit(), cls, 16);
  EXPECT_EQ(lstrcmpiW(cls, L"Edit"), 0);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(p.edit(), GWL_STYLE)),
            static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP |
                               ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(p.edit(), GWL_EXSTYLE)), static_cast<DWORD>(WS_EX_CLIENTEDGE));
  EXPECT_EQ(GetDlgCtrlID(p.edit()), 100);
  EXPECT_EQ(GetWindow(p.window(), GW_CHILD), p.edit());
  EXPECT_EQ(GetWindow(p.edit(), GW_HWNDNEXT), nullptr);  // the only control
  // The control's own maximum; a 32-bit count, whatever the width of LRESULT.
  EXPECT_GT(static_cast<DWORD>(SendMessageW(p.edit(), EM_GETLIMITTEXT, 0, 0)), 0xFFFFu);
}

TEST(RealProgramGeometry, FrameIsCentredAtItsFixedSizeAndTheBoxInPlace) {
  Box expected{};
  ASSERT_TRUE(testing::ExpectedFrameForThisScreen(&expected))
      << GetSystemMetrics(SM_CXSCREEN) << "x" << GetSystemMetrics(SM_CYSCREEN);
  Program p;
  ASSERT_TRUE(p.ready());
  EXPECT_EQ(OuterBox(p.window()), expected);
  EXPECT_EQ(ChildBox(p.edit()), (Box{40, 64, 304, 112}));
}

TEST(RealProgram, ShowsTheNoticeWithTheCaretAtTheStart) {
  Program p;
  ASSERT_TRUE(p.ready());
  EXPECT_EQ(WindowText(p.edit()), ExpectedNotice());
  DWORD start = 1, end = 1;
  SendMessageW(p.edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 0u);
  EXPECT_EQ(SendMessageW(p.edit(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  EXPECT_EQ(p.Focus(), p.edit());
}

TEST(RealProgram, EnterInsertsALineBreakAndTabInsertsNothing) {
  Program p;
  ASSERT_TRUE(p.ready());
  PostKey(p.edit(), VK_TAB);
  PostChar(p.edit(), L'\t');  // even a stray tab character stays out
  p.Settle();
  EXPECT_EQ(WindowText(p.edit()), ExpectedNotice());
  EXPECT_EQ(p.Focus(), p.edit());

  PostKey(p.edit(), VK_RETURN);
  p.Settle();
  EXPECT_EQ(WindowText(p.edit()), L"\r\n" + ExpectedNotice());
  EXPECT_TRUE(p.Running());
}

TEST(RealProgram, CaretBelowTheLastVisibleLineScrollsTheBox) {
  Program p;
  ASSERT_TRUE(p.ready());
  // New lines above the notice push the caret down past the box's bottom.
  for (int i = 0; i < 12; ++i) PostKey(p.edit(), VK_RETURN);
  p.Settle();
  EXPECT_GT(SendMessageW(p.edit(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  // And arrowing back up to the first line brings it into view again.
  for (int i = 0; i < 12; ++i) PostKey(p.edit(), VK_UP);
  p.Settle();
  EXPECT_EQ(SendMessageW(p.edit(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  EXPECT_EQ(GetWindowLongW(p.edit(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
}

TEST(RealProgram, EdgesDoNotResizeAndTheCaptionDoesNotMaximize) {
  Program p;
  ASSERT_TRUE(p.ready());
  const Box before = OuterBox(p.window());
  const int right = before.left + before.width - 1, bottom = before.top + before.height - 1;
  const POINT edges[] = {{before.left, before.top + 100}, {right, before.top + 100},
                         {before.left + 100, before.top}, {before.left + 100, bottom},
                         {before.left, before.top},        {right, bottom}};
  for (POINT pt : edges) {
    const LRESULT hit = SendMessageW(p.window(), WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    EXPECT_FALSE(hit >= HTLEFT && hit <= HTBOTTOMRIGHT) << pt.x << "," << pt.y << " hit " << hit;
  }
  const POINT caption{before.left + 100, before.top + 10};
  EXPECT_EQ(SendMessageW(p.window(), WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)), HTCAPTION);
  PostMessageW(p.window(), WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(caption.x, caption.y));
  p.Settle(500);
  EXPECT_FALSE(IsZoomed(p.window()));
  EXPECT_EQ(OuterBox(p.window()), before);
}

TEST(RealProgram, MinimizeAndRestoreGiveTheFocusBackToTheBox) {
  Program p;
  ASSERT_TRUE(p.ready());
  PostMessageW(p.window(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  p.Settle(500);
  EXPECT_TRUE(IsIconic(p.window()));
  PostMessageW(p.window(), WM_SYSCOMMAND, SC_RESTORE, 0);
  p.Settle(500);
  EXPECT_FALSE(IsIconic(p.window()));
  EXPECT_EQ(p.Focus(), p.edit());
  EXPECT_EQ(WindowText(p.edit()), ExpectedNotice());
}

class RealProgramClose : public ::testing::TestWithParam<CloseCase> {};

TEST_P(RealProgramClose, EndsTheProcessWithStatusZero) {
  Program p;
  ASSERT_TRUE(p.ready());
  GetParam().close(p);
  EXPECT_EQ(p.WaitExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Ways, RealProgramClose, ::testing::ValuesIn(testing::kCloseWays),
                         [](const auto& row) { return std::string(row.param.name); });

// Keys from the X server, the way a user's keyboard reaches the program.
TEST(RealProgramXInput, TypingEnterTabAndEscFromTheKeyboard) {
  Program p;
  ASSERT_TRUE(p.ready());
  const unsigned long xid = testing::XWindowOf(p.window());
  ASSERT_NE(xid, 0u) << "Wine shows no X window for the notice";
  const std::wstring focus = L"/usr/bin/xdotool windowfocus --sync " + std::to_wstring(xid);
  ASSERT_TRUE(testing::RunUnixProgram(focus + L" type --delay 30 ab"));
  ASSERT_TRUE(testing::RunUnixProgram(focus + L" key --delay 30 Tab shift+Tab Return"));
  p.Settle(500);
  EXPECT_EQ(WindowText(p.edit()), L"ab\r\n" + ExpectedNotice());
  EXPECT_EQ(p.Focus(), p.edit());
  ASSERT_TRUE(testing::RunUnixProgram(focus + L" key Escape"));
  EXPECT_EQ(p.WaitExit(), 0u);
}

TEST(RealProgram, EditsAreNotKeptForTheNextStart) {
  {
    Program p;
    ASSERT_TRUE(p.ready());
    for (wchar_t ch : std::wstring(L"changed 改")) PostChar(p.edit(), ch);
    PostKey(p.edit(), VK_DELETE);
    p.Settle();
    ASSERT_NE(WindowText(p.edit()), ExpectedNotice());
    PostKey(p.edit(), VK_ESCAPE);
    ASSERT_EQ(p.WaitExit(), 0u);
  }
  Program again;
  ASSERT_TRUE(again.ready());
  EXPECT_EQ(WindowText(again.edit()), ExpectedNotice());
}

// What a user does in one run: the session that runs this compares the
// Wine prefix's files and registry before and after it.
TEST(RealProgramNoWrites, EditMinimizeRestoreAndClose) {
  Program p;
  ASSERT_TRUE(p.ready());
  for (wchar_t ch : std::wstring(L"edited 已编辑")) PostChar(p.edit(), ch);
  PostKey(p.edit(), VK_RETURN);
  p.Settle();
  ASSERT_NE(WindowText(p.edit()), ExpectedNotice());
  PostMessageW(p.window(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  p.Settle(500);
  ASSERT_TRUE(IsIconic(p.window()));
  PostMessageW(p.window(), WM_SYSCOMMAND, SC_RESTORE, 0);
  p.Settle(500);
  ASSERT_FALSE(IsIconic(p.window()));
  PostKey(p.edit(), VK_ESCAPE);
  EXPECT_EQ(p.WaitExit(), 0u);
}

}  // namespace
}  // namespace notice
