// Prints the notice's UTF-8 copy as the program holds it, for the tests that
// compare it with what the running program shows.
#include <cstdio>

#include "notice_text.h"

int main() {
  const std::string_view text = notice::NoticeTextUtf8();
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
