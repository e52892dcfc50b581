// Threads over std::thread. A running thread cannot be ended from outside:
// a thread that has not begun is cancelled before it runs its body, one
// that runs is left to end by itself.
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "korvex/common/worker_thread.h"

namespace korvex {

struct WorkerThread::Record {
  enum class State { Waiting, Running, Cancelled };

  std::function<void()> body;
  std::thread thread;
  std::mutex mutex;
  std::condition_variable changed;
  State state = State::Waiting;
  bool finished = false;

  // The thread's own side; it holds the record until it ends.
  static void run(const std::shared_ptr<Record>& self) {
    {
      const std::lock_guard lock(self->mutex);
      if (self->state == State::Cancelled) {
        self->finished = true;  // nothing of the body will ever run
        self->changed.notify_all();
        return;
      }
      self->state = State::Running;
    }
    self->body();
    const std::lock_guard lock(self->mutex);
    self->finished = true;
    self->changed.notify_all();
  }
};

bool WorkerThread::start(std::function<void()> body) {
  if (exists()) return false;
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

bool WorkerThread::cancel() {
  if (record_ == nullptr) return false;
  const std::lock_guard lock(record_->mutex);
  if (record_->state == Record::State::Running) return false;
  record_->state = Record::State::Cancelled;
  return true;
}

void WorkerThread::terminate() {
  // A running thread cannot be ended safely from outside; release lets go
  // of it.
}

void WorkerThread::release() {
  if (record_ == nullptr) return;
  bool ends;
  {
    const std::lock_guard lock(record_->mutex);
    ends = record_->finished || record_->state == Record::State::Cancelled;
  }
  // A thread that has finished or will not run its body ends at once; one
  // still running after a forced end is let go and keeps its record alive.
  if (ends) {
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
