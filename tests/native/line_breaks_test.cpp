#include "line_breaks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "notice_text.h"

namespace notice {
namespace {

std::string Collapsed(std::string text) {
  text.resize(CollapseCrLf(text.data(), text.size()));
  return text;
}

struct BreakCase {
  std::string name;
  std::string in;
  std::string expected;
};

class LineBreaks : public testing::TestWithParam<BreakCase> {};

TEST_P(LineBreaks, CrLfBecomesLf) { EXPECT_EQ(Collapsed(GetParam().in), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Texts, LineBreaks,
    testing::ValuesIn(std::vector<BreakCase>{
        {"Empty", "", ""},
        {"NoBreaks", "abc", "abc"},
        {"OneBreak", "a\r\nb", "a\nb"},
        {"EmptyLineBetween", "a\r\n\r\nb", "a\n\nb"},
        {"BreakAtBothEnds", "\r\na\r\n", "\na\n"},
        {"LoneCrIsKept", "a\rb", "a\rb"},
        {"LoneLfIsKept", "a\nb", "a\nb"},
        {"CrBeforeCrLf", "a\r\r\nb", "a\r\nb"},
        {"LfCrIsNotABreakPair", "a\n\rb", "a\n\rb"},
        {"TrailingCr", "a\r", "a\r"},
        {"MultiByteNeighbours", u8"中\r\n文", u8"中\n文"},
    }),
    [](const auto& row) { return row.param.name; });

TEST(LineBreaks, TheNoticeKeepsItsEightLines) {
  const std::string shown = Collapsed(std::string(NoticeTextUtf8()));
  EXPECT_EQ(shown.find('\r'), std::string::npos);
  EXPECT_EQ(static_cast<std::size_t>(std::count(shown.begin(), shown.end(), '\n')),
            kNoticeLineCount - 1);
}

}  // namespace
}  // namespace notice
