// A long, seeded, random stream of real keyboard input into the running
// program, then a paste of a megabyte of text: it must never crash or stop
// answering, close only on a plain Esc, and never let a tab into the box.
// A failing run prints its seed; NOTICE_FUZZ_SEED=N repeats it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "wine_test_support.h"

namespace notice {
namespace {

using testing::Program;
using testing::WindowText;

// splitmix64: the same sequence from the same seed on every compiler.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }

 private:
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint64_t state_;
};

INPUT Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

INPUT Unit(wchar_t unit, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wScan = static_cast<WORD>(unit);
  in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
  return in;
}

// One key press, with modifiers held around it, as a single piece of input.
void Press(WORD vk, std::initializer_list<WORD> modifiers = {}) {
  std::vector<INPUT> in;
  for (WORD m : modifiers) in.push_back(Key(m, false));
  in.push_back(Key(vk, false));
  in.push_back(Key(vk, true));
  for (WORD m : modifiers) in.push_back(Key(m, true));
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

// Typed text as the system's character input delivers it, surrogates and all.
void Type(const std::wstring& text) {
  std::vector<INPUT> in;
  for (wchar_t unit : text) {
    in.push_back(Unit(unit, false));
    in.push_back(Unit(unit, true));
  }
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

struct Action {
  const char* name;
  void (*send)(Random&);
};

const Action kActions[] = {
    {"ascii", [](Random& r) { Type(std::wstring(1, static_cast<wchar_t>(0x20 + r.Below(0x5F)))); }},
    {"cjk", [](Random& r) { Type(std::wstring(1, static_cast<wchar_t>(0x4E00 + r.Below(0x51A6)))); }},
    {"surrogate pair", [](Random&) { Type(L"\U00020BB7"); }},
    {"backspace", [](Random&) { Press(VK_BACK); }},
    {"delete", [](Random&) { Press(VK_DELETE); }},
    {"arrow", [](Random& r) { Press(static_cast<WORD>(VK_LEFT + r.Below(4))); }},
    {"home", [](Random&) { Press(VK_HOME); }},
    {"end", [](Random&) { Press(VK_END); }},
    {"page up", [](Random&) { Press(VK_PRIOR); }},
    {"page down", [](Random&) { Press(VK_NEXT); }},
    {"ctrl+a", [](Random&) { Press('A', {VK_CONTROL}); }},
    {"ctrl+c", [](Random&) { Press('C', {VK_CONTROL}); }},
    {"ctrl+x", [](Random&) { Press('X', {VK_CONTROL}); }},
    // Pasting over everything: a paste at the caret after copying all
    // would double the text each time and soon drown the box.
    {"ctrl+a ctrl+v", [](Random&) { Press('A', {VK_CONTROL}), Press('V', {VK_CONTROL}); }},
    {"ctrl+z", [](Random&) { Press('Z', {VK_CONTROL}); }},
    {"enter", [](Random&) { Press(VK_RETURN); }},
    {"tab", [](Random&) { Press(VK_TAB); }},
    {"shift+tab", [](Random&) { Press(VK_TAB, {VK_SHIFT}); }},
    {"shift+esc", [](Random&) { Press(VK_ESCAPE, {VK_SHIFT}); }},
    {"ctrl+esc", [](Random&) { Press(VK_ESCAPE, {VK_CONTROL}); }},
};
constexpr std::size_t kActionCount = sizeof kActions / sizeof kActions[0];

std::uint64_t Seed() {
  if (const char* given = std::getenv("NOTICE_FUZZ_SEED")) return std::strtoull(given, nullptr, 10);
  return GetTickCount() ^ (static_cast<std::uint64_t>(GetCurrentProcessId()) << 32);
}

bool PutOnClipboard(const std::wstring& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  bool ok = false;
  if (memory) {
    if (void* p = GlobalLock(memory)) {
      CopyMemory(p, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
      GlobalUnlock(memory);
      ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    if (!ok) GlobalFree(memory);
  }
  CloseClipboard();
  return ok;
}

// What the window must show and do at every check of the run.
::testing::AssertionResult Healthy(const Program& p) {
  if (!p.Running()) return ::testing::AssertionFailure() << "the program has ended";
  if (!p.Answers(1000)) return ::testing::AssertionFailure() << "no answer within 1 s";
  if (GetForegroundWindow() != p.window()) return ::testing::AssertionFailure() << "window lost the foreground";
  if (p.Focus() != p.edit()) return ::testing::AssertionFailure() << "the box lost the focus";
  if (WindowText(p.edit()).find(L'\t') != std::wstring::npos) {
    return ::testing::AssertionFailure() << "a tab reached the box";
  }
  return ::testing::AssertionSuccess();
}

// Input arrives far faster than the box takes it in. Types a character no
// action types (from the private use area, one per check) and waits until the
// box shows it: then the program has handled everything sent before it,
// answering messages all the while.
::testing::AssertionResult CaughtUp(const Program& p, wchar_t marker) {
  Type(std::wstring(1, marker));
  const DWORD until = GetTickCount() + 60000;
  while (static_cast<LONG>(until - GetTickCount()) > 0) {
    if (!p.Running()) return ::testing::AssertionFailure() << "the program has ended";
    if (!p.Answers(1000)) return ::testing::AssertionFailure() << "no answer within 1 s";
    if (WindowText(p.edit()).find(marker) != std::wstring::npos) return ::testing::AssertionSuccess();
    Sleep(20);
  }
  return ::testing::AssertionFailure() << "the box did not take in its input within 60 s";
}

constexpr int kEvents = 10000;
constexpr int kCheckEvery = 250;
constexpr DWORD kPasteAnswerMs = 15000;

TEST(Fuzz, RandomKeysThenAMegabytePasteAndOnlyAPlainEscCloses) {
  const std::uint64_t seed = Seed();
  std::printf("fuzz seed %llu (repeat with NOTICE_FUZZ_SEED=%llu)\n",
              static_cast<unsigned long long>(seed), static_cast<unsigned long long>(seed));
  SCOPED_TRACE("seed " + std::to_string(seed));
  Program p;
  ASSERT_TRUE(p.ready());
  ASSERT_TRUE(Healthy(p));
  // The clipboard starts from a known text, so that the seed alone decides the run.
  ASSERT_TRUE(PutOnClipboard(L"clip 剪贴板"));
  Random random(seed);
  int changes = 0;
  std::wstring before = WindowText(p.edit());
  for (int i = 1; i <= kEvents; ++i) {
    const Action& action = kActions[random.Below(kActionCount)];
    action.send(random);
    if (i % kCheckEvery != 0) continue;
    ASSERT_TRUE(CaughtUp(p, static_cast<wchar_t>(0xE000 + i / kCheckEvery)))
        << "after event " << i << " (" << action.name << ")";
    ASSERT_TRUE(Healthy(p)) << "after event " << i << " (" << action.name << ")";
    const std::wstring now = WindowText(p.edit());
    changes += now != before;
    before = now;
  }
  // Proof that the input reached the box at all.
  EXPECT_GT(changes, kEvents / kCheckEvery / 2);

  // A megabyte of text, with line breaks, replacing everything. The box
  // takes it in in one go; Wine's edit control needs some seconds for that
  // (about 3 s measured), so the bound while pasting is a hang's, not 1 s.
  std::wstring big;
  while (big.size() < (1u << 20)) big += L"0123456789 abcdefghij 中文字符\U00020BB7\r\n";
  ASSERT_TRUE(PutOnClipboard(big));
  Press('A', {VK_CONTROL});
  Press('V', {VK_CONTROL});
  const DWORD pasted = GetTickCount();
  DWORD longest = 0;
  std::size_t length = 0;
  while (GetTickCount() - pasted < 60000) {
    const DWORD asked = GetTickCount();
    ASSERT_TRUE(p.Answers(kPasteAnswerMs)) << "no answer within " << kPasteAnswerMs << " ms while pasting";
    if (GetTickCount() - asked > longest) longest = GetTickCount() - asked;
    length = static_cast<std::size_t>(SendMessageW(p.edit(), WM_GETTEXTLENGTH, 0, 0));
    if (length == big.size()) break;
    Sleep(50);
  }
  std::printf("the paste took %lu ms; the longest wait for an answer was %lu ms\n",
              GetTickCount() - pasted, longest);
  ASSERT_EQ(length, big.size());
  EXPECT_TRUE(WindowText(p.edit()) == big) << "the pasted text came out changed";
  ASSERT_TRUE(Healthy(p));

  Press(VK_ESCAPE);
  EXPECT_EQ(p.WaitExit(), 0u);
}

}  // namespace
}  // namespace notice
