// The notice window created inside the test's own process, for what Wine
// will not tell another process (icons, fonts, class data) and for failures
// that can only be provoked from inside.
#include <windows.h>

#include <gtest/gtest.h>

#include "creation_veto.h"
#include "notice_app.h"
#include "wine_test_support.h"

namespace notice {
namespace {

using testing::Pump;
using testing::WindowText;

class InProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(app_.Start(), CreateResult::Ok);
    Pump(200);
  }
  void TearDown() override {
    if (app_.window().hwnd()) DestroyWindow(app_.window().hwnd());
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  // Sends one message through the program's own routing, as its loop does.
  void Deliver(UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{edit(), message, wParam, lParam, 0, {}};
    app_.Dispatch(msg);
  }
  void PressKey(WORD vk) {
    Deliver(WM_KEYDOWN, vk, 1);
    Pump(50);
  }
  // Holds Shift (or other keys) down as far as GetKeyState can tell.
  void HoldKeys(std::initializer_list<WORD> keys) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    for (WORD vk : keys) state[vk] = 0x80;
    SetKeyboardState(state);
  }
  void ReleaseKeys() {
    BYTE state[256] = {};
    SetKeyboardState(state);
  }
  HWND window() { return app_.window().hwnd(); }
  HWND edit() { return app_.window().edit(); }

  NoticeApp app_{GetModuleHandleW(nullptr)};
};

TEST_F(InProcess, ClassHasItsStylesCursorAndNoIconOrBrush) {
  EXPECT_EQ(GetClassLongPtrW(window(), GCL_STYLE),
            static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS));
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(window(), GCLP_HCURSOR)),
            LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_EQ(GetClassLongPtrW(window(), GCLP_HICON), 0u);
  EXPECT_EQ(GetClassLongPtrW(window(), GCLP_HICONSM), 0u);
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(GetClassLongPtrW(window(), GCLP_HBRBACKGROUND)),
            GetStockObject(NULL_BRUSH));
}

TEST_F(InProcess, SystemMenuKeepsMoveAndCanClose) {
  HMENU menu = GetSystemMenu(window(), FALSE);
  ASSERT_NE(menu, nullptr);
  EXPECT_NE(GetMenuState(menu, SC_MOVE, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_NE(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
}

TEST_F(InProcess, WindowAndBoxKeepTheStockGuiFont) {
  const auto font = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(window(), WM_GETFONT, 0, 0)), font);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(edit(), WM_GETFONT, 0, 0)), font);
}

TEST_F(InProcess, IconsAreTheProgramIconAtBothSizesAndLoadedOnce) {
  const auto big = reinterpret_cast<HICON>(SendMessageW(window(), WM_GETICON, ICON_BIG, 0));
  const auto small = reinterpret_cast<HICON>(SendMessageW(window(), WM_GETICON, ICON_SMALL, 0));
  ASSERT_NE(big, nullptr);
  ASSERT_NE(small, nullptr);
  for (auto [icon, size] : {std::pair{big, 32}, std::pair{small, 16}}) {
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, size);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
  }

  // A second window of the run gets the very same icons: they were kept.
  NoticeApp second(GetModuleHandleW(nullptr));
  ASSERT_EQ(second.Start(), CreateResult::Ok);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(second.window().hwnd(), WM_GETICON, ICON_BIG, 0)), big);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(second.window().hwnd(), WM_GETICON, ICON_SMALL, 0)), small);
}

TEST_F(InProcess, EraseLeavesTheBackgroundAlone) {
  // A memory surface painted red must still be red after WM_ERASEBKGND.
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 16, 16};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, &all, red);
  EXPECT_NE(SendMessageW(window(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);
  EXPECT_EQ(GetPixel(dc, 8, 8), RGB(255, 0, 0));
  SelectObject(dc, old);
  DeleteObject(red);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST_F(InProcess, PaintFillsWithButtonFaceAndTheBoxIsWhite) {
  RedrawWindow(window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump(300);
  HDC dc = GetDC(window());
  EXPECT_EQ(GetPixel(dc, 10, 10), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetPixel(dc, 370 - 20, 200), GetSysColor(COLOR_BTNFACE));
  ReleaseDC(window(), dc);
  // Inside the box, right of the short last line and clear of the edge.
  HDC editDc = GetDC(edit());
  RECT client{};
  GetClientRect(edit(), &client);
  EXPECT_EQ(GetPixel(editDc, client.right - 4, client.bottom - 4), RGB(255, 255, 255));
  ReleaseDC(edit(), editDc);
}

TEST_F(InProcess, BoxColoursAreBlackOnSolidWhite) {
  HDC dc = GetDC(edit());
  SetTextColor(dc, RGB(1, 2, 3));
  SetBkColor(dc, RGB(4, 5, 6));
  const auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit())));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
  ReleaseDC(edit(), dc);
  LOGBRUSH lb{};
  ASSERT_EQ(GetObjectW(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(lb.lbColor, RGB(255, 255, 255));
}

TEST_F(InProcess, ShiftTabAndCtrlTabStayOutOfTheBox) {
  const std::wstring before = WindowText(edit());
  for (auto held : {std::initializer_list<WORD>{VK_SHIFT}, std::initializer_list<WORD>{VK_CONTROL}}) {
    HoldKeys(held);
    PressKey(VK_TAB);
    ReleaseKeys();
    EXPECT_EQ(WindowText(edit()), before);
    EXPECT_EQ(GetFocus(), edit());
  }
}

TEST_F(InProcess, EscWithAModifierDoesNotClose) {
  for (WORD modifier : {WORD{VK_SHIFT}, WORD{VK_CONTROL}}) {
    HoldKeys({modifier});
    PressKey(VK_ESCAPE);
    ReleaseKeys();
    EXPECT_TRUE(IsWindow(window())) << "modifier " << modifier;
  }
  PressKey(VK_ESCAPE);
  EXPECT_EQ(window(), nullptr);
}

TEST_F(InProcess, FocusComesBackToTheBoxOnActivation) {
  SetFocus(window());
  EXPECT_EQ(GetFocus(), edit());  // the window passes it on
  SendMessageW(window(), WM_ACTIVATE, WA_INACTIVE, 0);
  SetFocus(nullptr);
  SendMessageW(window(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(GetFocus(), edit());
}

TEST_F(InProcess, LongLinesWrapWithoutScrollBars) {
  SetWindowTextW(edit(), std::wstring(400, L'x').c_str());
  EXPECT_GT(SendMessageW(edit(), EM_GETLINECOUNT, 0, 0), 3);
  const LONG_PTR style = GetWindowLongPtrW(edit(), GWL_STYLE);
  EXPECT_EQ(style & (WS_HSCROLL | WS_VSCROLL), 0);
}

TEST(InProcessStart, NoQuitIsPostedWhenTheWindowGoesBeforeTheLoop) {
  NoticeApp app(GetModuleHandleW(nullptr));
  ASSERT_EQ(app.Start(), CreateResult::Ok);
  DestroyWindow(app.window().hwnd());
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(app.Run(), 0);  // and the loop does not wait for a window that is gone
}

TEST(InProcessStart, ClosingEndsTheLoopWithStatusZero) {
  NoticeApp app(GetModuleHandleW(nullptr));
  ASSERT_EQ(app.Start(), CreateResult::Ok);
  PostMessageW(app.window().hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(app.window().hwnd(), nullptr);
}

// Closes the window should a veto miss it.
void CALLBACK CloseStrayWindow(HWND, UINT, UINT_PTR, DWORD) {
  if (HWND w = FindWindowW(kNoticeWindowClass, nullptr)) PostMessageW(w, WM_CLOSE, 0, 0);
}

struct FailureCase {
  const char* name;
  const wchar_t* vetoedClass;
  int expectedStatus;
};

class CreationFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CreationFailure, LeavesNoWindowAndEndsWithNonZeroStatus) {
  HHOOK hook = testing::CreationVeto::Install(GetParam().vetoedClass);
  ASSERT_NE(hook, nullptr);
  // Should the veto miss, the program would run its loop for good: close
  // it after a while so that the test fails instead of hanging.
  const UINT_PTR guard = SetTimer(nullptr, 0, 5000, CloseStrayWindow);
  const DWORD started = GetTickCount();
  const int status = RunNotice(GetModuleHandleW(nullptr));
  KillTimer(nullptr, guard);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(status, GetParam().expectedStatus);
  EXPECT_LT(GetTickCount() - started, 5000u);
  EXPECT_EQ(FindWindowW(kNoticeWindowClass, nullptr), nullptr);
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

INSTANTIATE_TEST_SUITE_P(
    Vetoed, CreationFailure,
    ::testing::Values(FailureCase{"Window", kNoticeWindowClass, 2}, FailureCase{"Control", L"EDIT", 3}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace notice
