// A test build of the program whose start-up meets a real failure: the
// program's own code runs unchanged while the system refuses one step.
//
//   notice_fault_runner class|window|control
//
// class:   RegisterClassExW fails (this file's import of it is redirected)
// window:  creating the top-level window is vetoed
// control: creating the edit box is vetoed
// The exit status is the program's.
#include <windows.h>

#include "creation_veto.h"
#include "notice_app.h"
#include "notice_window.h"

namespace {

ATOM WINAPI RefuseClass(const WNDCLASSEXW*) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return 0;
}

// Points this executable's import of USER32's `name` at `replacement`.
bool RedirectImport(const char* name, const void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const void* original = reinterpret_cast<const void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name));
  if (!original) return false;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  auto* desc = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
  for (; desc->Name; ++desc) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + desc->Name), "user32.dll") != 0) continue;
    for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk); thunk->u1.Function; ++thunk) {
      if (reinterpret_cast<const void*>(thunk->u1.Function) != original) continue;
      DWORD old;
      if (!VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, PAGE_READWRITE, &old)) return false;
      thunk->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, old, &old);
      return true;
    }
  }
  return false;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command, int) {
  if (lstrcmpW(command, L"class") == 0) {
    if (!RedirectImport("RegisterClassExW", reinterpret_cast<const void*>(&RefuseClass))) return 90;
  } else if (lstrcmpW(command, L"window") == 0 || lstrcmpW(command, L"control") == 0) {
    const wchar_t* vetoed = lstrcmpW(command, L"window") == 0 ? notice::kNoticeWindowClass : L"EDIT";
    if (!notice::testing::CreationVeto::Install(vetoed)) return 91;
  } else {
    return 92;  // not a failure this runner knows
  }
  return notice::RunNotice(instance);
}
