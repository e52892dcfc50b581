#include "app_thread.h"

#include <cstdio>

#include "talvane/resources/resource.h"
#include "talvane/shell/talvane_app.h"

namespace talvane::gui_test {

namespace {

// WM_NULL with this wParam marks the point up to which the posted messages
// have been taken (drainPostedMessages).
constexpr WPARAM kDrainMarker = 0x74616C76;

HANDLE g_markerTaken = nullptr;

LRESULT CALLBACK watchTakenMessages(int code, WPARAM removal, LPARAM message) {
  const auto* msg = reinterpret_cast<const MSG*>(message);
  if (code == HC_ACTION && removal == PM_REMOVE && msg->message == WM_NULL &&
      msg->wParam == kDrainMarker && g_markerTaken != nullptr) {
    SetEvent(g_markerTaken);
  }
  return CallNextHookEx(nullptr, code, removal, message);
}

[[noreturn]] void endHungProgram() {
  std::fprintf(stderr, "the program's UI thread did not end; ending the test program\n");
  std::fflush(stdout);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 5);
  for (;;) Sleep(1000);
}

}  // namespace

AppThread::AppThread() {
  thread_ = CreateThread(nullptr, 0, &AppThread::run, this, 0, &threadId_);
}

AppThread::~AppThread() {
  if (!stop()) endHungProgram();
}

DWORD WINAPI AppThread::run(void* self) {
  auto* app = static_cast<AppThread*>(self);
  CTalvaneApp program;
  app->exitCode_ = program.RunApplication();
  return 0;
}

bool AppThread::ready(std::chrono::milliseconds limit) {
  tray_ =
      waitUntil([&] { return ended() ? nullptr : windowCaptioned(windows(), L"TrayWnd"); }, limit);
  return tray_ != nullptr;
}

void AppThread::postToTray(UINT message, WPARAM wParam, LPARAM lParam) const {
  PostMessageW(tray_, message, wParam, lParam);
}

std::shared_future<void> AppThread::sendInBackground(HWND window, UINT message, WPARAM wParam,
                                                     LPARAM lParam) {
  auto returned = std::make_shared<std::promise<void>>();
  std::shared_future<void> future = returned->get_future().share();
  senders_.emplace_back([=] {
    SendMessageW(window, message, wParam, lParam);
    returned->set_value();
  });
  return future;
}

bool AppThread::drainPostedMessages(HWND window, std::chrono::milliseconds limit) const {
  g_markerTaken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &watchTakenMessages, nullptr, threadId_);
  bool taken = false;
  if (hook != nullptr && PostMessageW(window, WM_NULL, kDrainMarker, 0)) {
    taken = WaitForSingleObject(g_markerTaken, static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0;
  }
  if (hook != nullptr) UnhookWindowsHookEx(hook);
  CloseHandle(g_markerTaken);
  g_markerTaken = nullptr;
  return taken;
}

bool AppThread::ended() const {
  return thread_ == nullptr || WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0;
}

std::optional<int> AppThread::stop(std::chrono::milliseconds limit) {
  if (thread_ == nullptr) return exitCode_;
  if (!ended()) {
    HWND tray = tray_ != nullptr ? tray_ : windowCaptioned(windows(), L"TrayWnd");
    if (tray != nullptr) PostMessageW(tray, WM_COMMAND, ID_APP_EXIT, 0);
    if (WaitForSingleObject(thread_, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
      return std::nullopt;
    }
  }
  // A helper thread's message went to a window that is gone now, or its
  // handler has returned: every send has come back.
  for (std::thread& sender : senders_) sender.join();
  senders_.clear();
  CloseHandle(thread_);
  thread_ = nullptr;
  return exitCode_;
}

}  // namespace talvane::gui_test
