#include <windows.h>

#include "notice_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  return notice::RunNotice(instance);
}
