#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace ornivale {

// A window's long work, off the window's thread: tasks run one at a time,
// in the order posted, on a thread of their own, and what they have to tell
// the window waits in a queue that the window empties when it is told to
// (a posted message), so that nothing is lost or left behind when the
// window goes first.
class BackgroundWork {
 public:
  using Task = std::function<void()>;
  using Report = std::function<void()>;

  // `message` is posted to `window` whenever a report waits.
  BackgroundWork(HWND window, UINT message);
  // Stops the task that runs, drops those waiting and their reports, and
  // waits for its thread to end.
  ~BackgroundWork();
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;

  void Post(Task task);
  // Asks the task that runs to stop, where it asks `Stopping`.
  void Stop() { stop_ = true; }
  // For a task: whether it was asked to stop.
  bool Stopping() const { return stop_; }
  // From any thread: `report` runs on the window's thread, in order.
  void Tell(Report report);
  // On the window's thread, once `message` came: runs the reports waiting.
  void RunReports();

 private:
  void Run();

  HWND window_;
  UINT message_;
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<Task> tasks_;
  std::deque<Report> reports_;
  bool ending_ = false;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace ornivale
