// Line breaks as text widgets other than the Win32 edit box want them.
#pragma once

#include <cstddef>

namespace notice {

// Turns every CR LF in text[0, length) into a single LF, in place, and
// returns the new length. A CR or LF on its own is kept. Toolkits that keep
// the CR in their buffers would otherwise count it as a character of its own.
std::size_t CollapseCrLf(char* text, std::size_t length);

}  // namespace notice
