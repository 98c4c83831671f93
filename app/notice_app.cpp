#include "notice_app.h"

namespace notice {

CreateResult NoticeApp::Start() {
  const CreateResult result = window_.Create(instance_, WindowProps{}, EditProps{});
  if (result == CreateResult::Ok) window_.Show();
  return result;
}

void NoticeApp::Dispatch(const MSG& msg) {
  if (window_.PreTranslate(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

int NoticeApp::Run() {
  // Nothing could end a loop whose window is already gone.
  if (!window_.hwnd()) return 0;
  window_.QuitWhenDestroyed();
  MSG msg;
  for (;;) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return 4;  // the queue itself failed: end rather than spin
    Dispatch(msg);
  }
}

int RunNotice(HINSTANCE instance) {
  NoticeApp app(instance);
  const CreateResult started = app.Start();
  if (started != CreateResult::Ok) return static_cast<int>(started);
  return app.Run();
}

}  // namespace notice
