#include "tests/gui/main_window_fixture.h"

#include "tests/gui/window_queries.h"
#include "ui/message_loop.h"

namespace ornivale::gui_test {

void MainWindowTest::SetUp() {
  ASSERT_TRUE(window_.Create());
  ShowWindow(Window(), SW_SHOW);
  SetForegroundWindow(Window());
  UpdateWindow(Window());
  Pump();
}

void MainWindowTest::TearDown() {
  if (Window()) DestroyWindow(Window());
  // Closing the window posts WM_QUIT; take it out of the queue so that it
  // cannot end a message box of the next test.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

void MainWindowTest::Click(int id) {
  SendMessageW(Control(id), BM_CLICK, 0, 0);
  Pump();
}

void MainWindowTest::Load(const std::optional<std::wstring>& path) {
  picker_.answer = path;
  Click(control_id::Command4);
}

void MainWindowTest::Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quit_posted_ = true;
      continue;
    }
    ProcessMessage(message);
  }
}

std::vector<std::wstring> MainWindowTest::Log() const {
  return ListBoxLines(Control(control_id::l));
}

std::wstring MainWindowTest::SelectedText(int list_id) const {
  return WindowText(Control(list_id));
}

std::wstring MainWindowTest::Label() const {
  return WindowText(Control(control_id::Label1));
}

RECT MainWindowTest::ClientRectOf(int id) const {
  RECT r{};
  GetWindowRect(Control(id), &r);
  MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int MainWindowTest::LabelPixelsBeside(int list_id) {
  RedrawWindow(Window(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  const RECT list = ClientRectOf(list_id);
  const int right = list.right + (list.right - list.left) / 4;
  const HDC dc = GetDC(Window());
  int count = 0;
  for (int y = list.top; y < list.bottom; ++y) {
    for (int x = list.right; x < right; ++x) {
      const COLORREF pixel = GetPixel(dc, x, y);
      if (GetRValue(pixel) >= 200 && GetGValue(pixel) >= 200 &&
          GetBValue(pixel) >= 190) {
        ++count;
      }
    }
  }
  ReleaseDC(Window(), dc);
  return count;
}

}  // namespace ornivale::gui_test
