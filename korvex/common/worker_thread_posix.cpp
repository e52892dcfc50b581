// Threads over std::thread. A thread that is let go before it finishes is
// detached and keeps its record until it ends.
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "korvex/common/worker_thread.h"

namespace korvex {

struct WorkerThread::Record {
  std::function<void()> body;
  std::thread thread;
  std::mutex mutex;
  std::condition_variable changed;
  bool finished = false;

  // The thread's own side; it holds the record until it ends.
  static void run(const std::shared_ptr<Record>& self) {
    try {
      self->body();
    } catch (...) {
      // Nothing may escape a thread; the body has ended all the same.
    }
    const std::lock_guard lock(self->mutex);
    self->finished = true;
    self->changed.notify_all();
  }
};

bool WorkerThread::start(std::function<void()> body) {
  if (exists() || startsFail_.load()) return false;
  auto record = std::make_shared<Record>();
  record->body = std::move(body);
  try {
    record->thread = std::thread([record] { Record::run(record); });
  } catch (const std::system_error&) {
    return false;
  }
  record_ = std::move(record);
  return true;
}

bool WorkerThread::waitFinished(std::chrono::milliseconds timeout) {
  if (record_ == nullptr) return true;
  std::unique_lock lock(record_->mutex);
  return record_->changed.wait_for(lock, timeout, [&] { return record_->finished; });
}

void WorkerThread::release() {
  if (record_ == nullptr) return;
  bool finished;
  {
    const std::lock_guard lock(record_->mutex);
    finished = record_->finished;
  }
  if (finished) {
    record_->thread.join();
  } else {
    record_->thread.detach();
  }
  record_.reset();
}

void WorkerThread::forget() {
  if (record_ != nullptr && record_->thread.joinable()) record_->thread.detach();
  record_.reset();
}

}  // namespace korvex
