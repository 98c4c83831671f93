// The notice the window shows. It is held as code page 936 (GBK) bytes with
// CR LF line breaks and no break after the last line, assembled at compile
// time so that nothing runs before the window opens. The UTF-8 copy beside
// each line keeps the text readable here, and the tests check that the
// bytes decode to exactly these words.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "notice_options.h"  // generated: the download address and account

namespace notice {

namespace detail {
template <std::size_t... N>
constexpr auto Concat(const char (&... parts)[N]) {
  std::array<char, ((N - 1) + ... + 0) + 1> out{};
  std::size_t at = 0;
  auto append = [&](const char* p, std::size_t n) {
    for (std::size_t i = 0; i + 1 < n; ++i) out[at++] = p[i];
  };
  (append(parts, N), ...);
  out[at] = '\0';
  return out;
}
}  // namespace detail

// 以上是低配版变声器下载地址，永久使用！
inline constexpr char kLine3Gbk[] =
    "\xd2\xd4\xc9\xcf\xca\xc7\xb5\xcd\xc5\xe4\xb0\xe6\xb1\xe4\xc9\xf9\xc6\xf7\xcf\xc2"
    "\xd4\xd8\xb5\xd8\xd6\xb7\xa3\xac\xd3\xc0\xbe\xc3\xca\xb9\xd3\xc3\xa3\xa1";
inline constexpr char kLine3Utf8[] = u8"以上是低配版变声器下载地址，永久使用！";

// 下载压缩包里面有视频教程，
inline constexpr char kLine4Gbk[] =
    "\xcf\xc2\xd4\xd8\xd1\xb9\xcb\xf5\xb0\xfc\xc0\xef\xc3\xe6\xd3\xd0\xca\xd3\xc6\xb5"
    "\xbd\xcc\xb3\xcc\xa3\xac";
inline constexpr char kLine4Utf8[] = u8"下载压缩包里面有视频教程，";

// 仔细看视频教程即可正常使用！
inline constexpr char kLine5Gbk[] =
    "\xd7\xd0\xcf\xb8\xbf\xb4\xca\xd3\xc6\xb5\xbd\xcc\xb3\xcc\xbc\xb4\xbf\xc9\xd5\xfd"
    "\xb3\xa3\xca\xb9\xd3\xc3\xa3\xa1";
inline constexpr char kLine5Utf8[] = u8"仔细看视频教程即可正常使用！";

inline constexpr char kRule[] = "--------------------------------------";

// 需要完美变声高级版的联系客服Q (the account number follows directly)
inline constexpr char kLine7Gbk[] =
    "\xd0\xe8\xd2\xaa\xcd\xea\xc3\xc0\xb1\xe4\xc9\xf9\xb8\xdf\xbc\xb6\xb0\xe6\xb5\xc4"
    "\xc1\xaa\xcf\xb5\xbf\xcd\xb7\xfe" "Q";
inline constexpr char kLine7Utf8[] = u8"需要完美变声高级版的联系客服Q";

// 或者在售后群联系我！
inline constexpr char kLine8Gbk[] =
    "\xbb\xf2\xd5\xdf\xd4\xda\xca\xdb\xba\xf3\xc8\xba\xc1\xaa\xcf\xb5\xce\xd2\xa3\xa1";
inline constexpr char kLine8Utf8[] = u8"或者在售后群联系我！";

inline constexpr auto kNoticeGbk =
    detail::Concat(kNoticeDownloadUrl, "\r\n\r\n", kLine3Gbk, "\r\n", kLine4Gbk, "\r\n",
                   kLine5Gbk, "\r\n", kRule, "\r\n", kLine7Gbk, kNoticeAccount, "\r\n",
                   kLine8Gbk);
inline constexpr auto kNoticeUtf8 =
    detail::Concat(kNoticeDownloadUrl, "\r\n\r\n", kLine3Utf8, "\r\n", kLine4Utf8, "\r\n",
                   kLine5Utf8, "\r\n", kRule, "\r\n", kLine7Utf8, kNoticeAccount, "\r\n",
                   kLine8Utf8);

inline constexpr std::size_t kNoticeLineCount = 8;

// The build options, without their terminating NUL.
constexpr std::string_view DownloadUrl() { return {kNoticeDownloadUrl, sizeof kNoticeDownloadUrl - 1}; }
constexpr std::string_view ServiceAccount() { return {kNoticeAccount, sizeof kNoticeAccount - 1}; }

// The text without its terminating NUL.
constexpr std::string_view NoticeTextGbk() { return {kNoticeGbk.data(), kNoticeGbk.size() - 1}; }
constexpr std::string_view NoticeTextUtf8() { return {kNoticeUtf8.data(), kNoticeUtf8.size() - 1}; }

enum class TextEncoding { Cp936, Utf8 };

// Hands the notice to a platform's converter: the code-page-936 bytes first,
// and should that converter fail (or be missing), the UTF-8 copy. `convert`
// takes (bytes, encoding) and returns whether it succeeded.
template <class Convert>
bool DecodeNotice(Convert&& convert) {
  return convert(NoticeTextGbk(), TextEncoding::Cp936) ||
         convert(NoticeTextUtf8(), TextEncoding::Utf8);
}

}  // namespace notice
