#include "line_breaks.h"

namespace notice {

std::size_t CollapseCrLf(char* text, std::size_t length) {
  std::size_t out = 0;
  for (std::size_t in = 0; in < length; ++in) {
    if (text[in] == '\r' && in + 1 < length && text[in + 1] == '\n') continue;
    text[out++] = text[in];
  }
  return out;
}

}  // namespace notice
