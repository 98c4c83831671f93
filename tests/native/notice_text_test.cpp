#include "notice_text.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <vector>

namespace notice {
namespace {

// Decodes with the C library's converter, which knows code page 936.
std::string DecodeCp936(std::string_view bytes) {
  iconv_t cd = iconv_open("UTF-8", "CP936");
  if (cd == reinterpret_cast<iconv_t>(-1)) return "<no CP936 converter>";
  std::string in(bytes), out(bytes.size() * 4, '\0');
  char* src = in.data();
  char* dst = out.data();
  std::size_t srcLeft = in.size(), dstLeft = out.size();
  const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1) || srcLeft != 0) return "<invalid CP936>";
  out.resize(out.size() - dstLeft);
  return out;
}

std::vector<std::string> SplitCrLf(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = text.find("\r\n", from);
    lines.emplace_back(text.substr(from, at - from));
    if (at == std::string_view::npos) return lines;
    from = at + 2;
  }
}

TEST(NoticeText, HasEightLinesWithCrLfAndNoTrailingBreak) {
  const std::string_view text = NoticeTextUtf8();
  EXPECT_EQ(SplitCrLf(text).size(), kNoticeLineCount);
  EXPECT_NE(text.substr(text.size() - 2), "\r\n");
  // No bare CR or LF anywhere.
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      EXPECT_EQ(text[i + 1], '\n') << "at " << i;
    }
    if (text[i] == '\n') {
      EXPECT_EQ(text[i - 1], '\r') << "at " << i;
    }
  }
}

TEST(NoticeText, LinesAreTheNotice) {
  const std::vector<std::string> lines = SplitCrLf(NoticeTextUtf8());
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], DownloadUrl());
  EXPECT_EQ(lines[0].rfind("https://", 0), 0u);
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], u8"以上是低配版变声器下载地址，永久使用！");
  EXPECT_EQ(lines[3], u8"下载压缩包里面有视频教程，");
  EXPECT_EQ(lines[4], u8"仔细看视频教程即可正常使用！");
  EXPECT_EQ(lines[5], std::string(38, '-'));
  EXPECT_EQ(lines[6], u8"需要完美变声高级版的联系客服Q" + std::string(ServiceAccount()));
  EXPECT_EQ(lines[7], u8"或者在售后群联系我！");
}

TEST(NoticeText, BuildOptionsArePlainAsciiPlaceholders) {
  for (std::string_view value : {DownloadUrl(), ServiceAccount()}) {
    ASSERT_FALSE(value.empty());
    for (unsigned char ch : value) EXPECT_TRUE(ch > 0x20 && ch < 0x7F) << value;
  }
}

TEST(NoticeText, Cp936BytesDecodeToTheReadableText) {
  EXPECT_EQ(DecodeCp936(NoticeTextGbk()), NoticeTextUtf8());
}

TEST(NoticeText, EachChineseLineDecodesToItsReadableCopy) {
  const std::pair<std::string_view, std::string_view> lines[] = {
      {kLine3Gbk, kLine3Utf8}, {kLine4Gbk, kLine4Utf8}, {kLine5Gbk, kLine5Utf8},
      {kLine7Gbk, kLine7Utf8}, {kLine8Gbk, kLine8Utf8}};
  for (const auto& [gbk, utf8] : lines) EXPECT_EQ(DecodeCp936(gbk), utf8);
}

TEST(NoticeText, BytesAvoidTheOneByteWhereGbkAndCp936Disagree) {
  // 0x80 is the euro sign in code page 936 but undefined in GBK proper.
  EXPECT_EQ(NoticeTextGbk().find('\x80'), std::string_view::npos);
}

TEST(DecodeNotice, TriesCp936FirstAndFallsBackToUtf8) {
  struct Call {
    std::string_view bytes;
    TextEncoding encoding;
  };
  const struct {
    const char* name;
    bool cp936Works;
    bool utf8Works;
    bool expected;
    std::size_t calls;
  } cases[] = {
      {"Cp936Converts", true, true, true, 1},
      {"Cp936FailsUtf8Converts", false, true, true, 2},
      {"BothFail", false, false, false, 2},
  };
  for (const auto& c : cases) {
    std::vector<Call> calls;
    const bool ok = DecodeNotice([&](std::string_view bytes, TextEncoding encoding) {
      calls.push_back({bytes, encoding});
      return encoding == TextEncoding::Cp936 ? c.cp936Works : c.utf8Works;
    });
    EXPECT_EQ(ok, c.expected) << c.name;
    ASSERT_EQ(calls.size(), c.calls) << c.name;
    EXPECT_EQ(calls[0].encoding, TextEncoding::Cp936) << c.name;
    EXPECT_EQ(calls[0].bytes, NoticeTextGbk()) << c.name;
    if (calls.size() == 2) {
      EXPECT_EQ(calls[1].encoding, TextEncoding::Utf8) << c.name;
      EXPECT_EQ(calls[1].bytes, NoticeTextUtf8()) << c.name;
    }
  }
}

}  // namespace
}  // namespace notice
