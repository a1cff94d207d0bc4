// The registry of online jobs: every news check, version check and page fetch
// runs on a std::thread of its own, held here with its abort flag.
//
// A job's work only probes and downloads; its one result is then handed to
// the GUI thread through the Poster given at construction, where the job's
// apply function runs, unless the registry was closed in the meantime (a
// result posted after the close is dropped). All members are called from the
// GUI thread only; work runs on the job's thread, apply on the GUI thread.
//
// Close sequence of the main window: Abort() the version checks and the news
// check (StopVerThread, StopNewsThread), then Close() (CloseNetHandles), which
// aborts whatever is left, joins every thread and refuses new jobs. An
// aborted transfer ends within about a second (libcurl's progress callback).
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "online/http.h"

namespace lumivex {

enum class JobKind { NewsCheck, SplashVersionCheck, VersionCheck, PageFetch };

class JobRegistry {
 public:
  // Queues a closure to run later on the GUI thread (with Qt:
  // QMetaObject::invokeMethod(receiver, fn, Qt::QueuedConnection)). Called on
  // job threads; must not block and must not run the closure at once.
  using Poster = std::function<void(std::function<void()>)>;

  explicit JobRegistry(Poster post);
  // Closes: aborts and joins every job.
  ~JobRegistry();
  JobRegistry(const JobRegistry&) = delete;
  JobRegistry& operator=(const JobRegistry&) = delete;

  // Runs work(abort) on a new thread and posts apply(result) to the GUI
  // thread. False, and nothing started, once the registry is closed.
  template <class Result>
  bool Start(JobKind kind, std::function<Result(const AbortFlag&)> work,
             std::function<void(Result)> apply);

  // Sets the abort flag of every unfinished job of kind; their results still
  // arrive, as those of a check whose site stopped answering.
  void Abort(JobKind kind);
  // Aborts every job, joins all threads and starts no new one; results not
  // yet applied are dropped.
  void Close();
  bool Closed() const { return shared_->closed.load(); }

  // Jobs whose thread has not finished yet (all kinds, or one kind).
  int Unfinished() const;
  int Unfinished(JobKind kind) const;

 private:
  struct Shared {
    std::atomic<bool> closed{false};
  };
  struct Job {
    JobKind kind;
    std::shared_ptr<AbortFlag> abort;
    std::shared_ptr<std::atomic<bool>> finished;
    std::thread thread;
  };

  // Joins the threads of finished jobs and forgets them.
  void Reap();
  bool Launch(JobKind kind, std::function<void(const AbortFlag&)> body);

  Poster post_;
  std::shared_ptr<Shared> shared_;
  std::vector<Job> jobs_;
};

template <class Result>
bool JobRegistry::Start(JobKind kind, std::function<Result(const AbortFlag&)> work,
                        std::function<void(Result)> apply) {
  Poster post = post_;
  std::shared_ptr<Shared> shared = shared_;
  return Launch(kind, [post, shared, work = std::move(work),
                       apply = std::move(apply)](const AbortFlag& abort) {
    Result result = work(abort);
    post([shared, apply, result = std::move(result)]() {
      if (!shared->closed.load()) apply(result);
    });
  });
}

// The close-sequence steps by the names the main window knows them by.
void StopVerThread(JobRegistry& jobs);   // aborts both kinds of version check
void StopNewsThread(JobRegistry& jobs);  // aborts the news check
void CloseNetHandles(JobRegistry& jobs);  // Close(): nothing left running

// Page fetches answer out of order; only the newest request is shown.
// GUI thread only.
class LatestRequest {
 public:
  // A ticket for a new request; every earlier ticket becomes stale.
  unsigned long long Next() { return ++latest_; }
  bool IsLatest(unsigned long long ticket) const { return ticket == latest_; }

 private:
  unsigned long long latest_ = 0;
};

}  // namespace lumivex
