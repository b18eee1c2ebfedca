#include "ui/background_work.h"

namespace ornivale {

BackgroundWork::BackgroundWork(HWND window, UINT message)
    : window_(window), message_(message), thread_([this] { Run(); }) {}

BackgroundWork::~BackgroundWork() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
    tasks_.clear();
  }
  stop_ = true;
  posted_.notify_one();
  thread_.join();
}

void BackgroundWork::Post(Task task) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  posted_.notify_one();
}

void BackgroundWork::Tell(Report report) {
  bool first = false;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (ending_) return;
    first = reports_.empty();
    reports_.push_back(std::move(report));
  }
  // One message for a run of reports: the window takes them all at once.
  if (first) PostMessageW(window_, message_, 0, 0);
}

void BackgroundWork::RunReports() {
  std::deque<Report> reports;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    reports.swap(reports_);
  }
  for (Report& report : reports) report();
}

void BackgroundWork::Run() {
  for (;;) {
    Task task;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      posted_.wait(lock, [&] { return ending_ || !tasks_.empty(); });
      if (ending_) return;
      task = std::move(tasks_.front());
      tasks_.pop_front();
      stop_ = false;
    }
    task();
  }
}

}  // namespace ornivale
