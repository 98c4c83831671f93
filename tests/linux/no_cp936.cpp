// Preloaded into the program by a test: the C library's converter then
// refuses code page 936, as on a system built without that converter, and
// says so on standard error so the test knows the refusal happened.
#include <dlfcn.h>
#include <iconv.h>
#include <strings.h>

#include <cerrno>
#include <cstdio>

extern "C" iconv_t iconv_open(const char* to, const char* from) {
  if (strcasecmp(to, "CP936") == 0 || strcasecmp(from, "CP936") == 0) {
    std::fputs("no_cp936: refused CP936\n", stderr);
    errno = EINVAL;
    return reinterpret_cast<iconv_t>(-1);
  }
  using IconvOpen = iconv_t (*)(const char*, const char*);
  static const auto real = reinterpret_cast<IconvOpen>(dlsym(RTLD_NEXT, "iconv_open"));
  if (!real) {
    errno = EINVAL;
    return reinterpret_cast<iconv_t>(-1);
  }
  return real(to, from);
}
