#include "window_test.h"

#include <cstdio>

#include "talvane/shell/talvane_app.h"

namespace talvane::gui_test {

namespace {

// WM_NULL with this wParam marks how far the posted messages have been taken.
constexpr WPARAM kDrainMarker = 0x74616C76;
HANDLE g_markerTaken = nullptr;

LRESULT CALLBACK watchTaken(int code, WPARAM removal, LPARAM message) {
  const auto* msg = reinterpret_cast<const MSG*>(message);
  if (code == HC_ACTION && removal == PM_REMOVE && msg->message == WM_NULL &&
      msg->wParam == kDrainMarker) {
    SetEvent(g_markerTaken);
  }
  return CallNextHookEx(nullptr, code, removal, message);
}

DWORD WINAPI runProgram(void* exitCode) {
  *static_cast<int*>(exitCode) = CTalvaneApp().RunApplication();
  return 0;
}

}  // namespace

void WindowTest::start(std::string_view scenario, const std::function<void()>& prepare) {
  loadWorld(scenario);
  Hub_StopAutoRecovery();
  HubDeviceInfo listed{};
  while (Hub_GetAutoCheckDeviceInfoIndex(&listed, 0) != 0) Hub_DeleteAutoCheckDeviceInfo(&listed);
  if (prepare) prepare();
  thread_ = CreateThread(nullptr, 0, &runProgram, &exitCode_, 0, &threadId_);
  tray_ = waitForWindow(windows(), nullptr, L"TrayWnd");
  ASSERT_NE(tray_, nullptr) << "no \"TrayWnd\" window";
}

std::optional<int> WindowTest::stop() {
  PostMessageW(tray_, WM_COMMAND, ID_APP_EXIT, 0);
  if (thread_ && WaitForSingleObject(thread_, 10000) != WAIT_OBJECT_0) return std::nullopt;
  senders_.clear();  // the windows are gone: every send has come back
  return exitCode_;
}

void WindowTest::TearDown() {
  if (threadId_ == 0) return;
  const std::optional<int> exitCode = stop();
  if (!exitCode) {  // rather than a hung test
    std::fprintf(stderr, "the program did not end after EXIT\n");
    TerminateProcess(GetCurrentProcess(), 5);
  }
  CloseHandle(thread_);
  EXPECT_EQ(exitCode, 0);
}

bool WindowTest::drain() const {
  g_markerTaken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &watchTaken, nullptr, threadId_);
  const bool taken = hook && PostMessageW(tray_, WM_NULL, kDrainMarker, 0) &&
                     WaitForSingleObject(g_markerTaken, 10000) == WAIT_OBJECT_0;
  if (hook) UnhookWindowsHookEx(hook);
  CloseHandle(g_markerTaken);
  return taken;
}

bool WindowTest::typeKey(HWND control, UINT virtualKey) const {
  const UINT scanCode = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  // TranslateMessage posts the characters after the key: a second round.
  return post(control, WM_KEYDOWN, virtualKey, 1 | (scanCode << 16)) && drain();
}

std::shared_future<void> WindowTest::notify(HWND dialog, int control, UINT code, int row) {
  NMITEMACTIVATE& note = notes_.emplace_back();
  note.hdr = {GetDlgItem(dialog, control), static_cast<UINT_PTR>(control), code};
  note.iItem = row;
  return senders_.emplace_back(std::async(std::launch::async, [=, &note] {
                                 SendMessageW(dialog, WM_NOTIFY, static_cast<WPARAM>(control),
                                              reinterpret_cast<LPARAM>(&note));
                               }).share());
}

HWND WindowTest::waitForMessageBox(const std::wstring& text, std::chrono::milliseconds limit) {
  return waitUntil(
      [&]() -> HWND {
        for (HWND box : windowsOf(windows(), kDialogClass)) {
          if (messageOf(box) == text) return box;
        }
        return nullptr;
      },
      limit);
}

}  // namespace talvane::gui_test
