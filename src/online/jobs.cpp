#include "online/jobs.h"

#include <algorithm>

namespace lumivex {

JobRegistry::JobRegistry(Poster post)
    : post_(std::move(post)), shared_(std::make_shared<Shared>()) {}

JobRegistry::~JobRegistry() { Close(); }

bool JobRegistry::Launch(JobKind kind, std::function<void(const AbortFlag&)> body) {
  if (Closed()) return false;
  Reap();
  Job job{kind, std::make_shared<AbortFlag>(false), std::make_shared<std::atomic<bool>>(false), {}};
  job.thread = std::thread([body = std::move(body), abort = job.abort, finished = job.finished] {
    try {
      body(*abort);
    } catch (...) {
      // Out of memory inside a check: it ends without a result, as an
      // unreachable site would.
    }
    finished->store(true);
  });
  jobs_.push_back(std::move(job));
  return true;
}

void JobRegistry::Reap() {
  auto done = std::stable_partition(jobs_.begin(), jobs_.end(),
                                    [](const Job& job) { return !job.finished->load(); });
  for (auto it = done; it != jobs_.end(); ++it) it->thread.join();
  jobs_.erase(done, jobs_.end());
}

void JobRegistry::Abort(JobKind kind) {
  for (Job& job : jobs_) {
    if (job.kind == kind) job.abort->store(true);
  }
}

void JobRegistry::Close() {
  shared_->closed.store(true);
  for (Job& job : jobs_) job.abort->store(true);
  for (Job& job : jobs_) job.thread.join();
  jobs_.clear();
}

int JobRegistry::Unfinished() const {
  return static_cast<int>(std::count_if(jobs_.begin(), jobs_.end(),
                                        [](const Job& job) { return !job.finished->load(); }));
}

int JobRegistry::Unfinished(JobKind kind) const {
  return static_cast<int>(std::count_if(jobs_.begin(), jobs_.end(), [kind](const Job& job) {
    return job.kind == kind && !job.finished->load();
  }));
}

void StopVerThread(JobRegistry& jobs) {
  jobs.Abort(JobKind::SplashVersionCheck);
  jobs.Abort(JobKind::VersionCheck);
}

void StopNewsThread(JobRegistry& jobs) { jobs.Abort(JobKind::NewsCheck); }

void CloseNetHandles(JobRegistry& jobs) { jobs.Close(); }

}  // namespace lumivex
