// The main window's progress bar during the update download.
#pragma once

#include <cstdint>
#include <functional>

#include "online/http.h"

class QProgressBar;

namespace lumivex {

// How far byte counts are shifted right so that total fits the bar's int
// range (0 for anything up to INT_MAX).
int ProgressShift(std::int64_t total);

// Shows the bar for the length of one download. Tick lets pending window
// events run, so the program stays live while the download waits.
class DownloadBar : public DownloadProgress {
 public:
  DownloadBar(QProgressBar* bar, std::function<void()> letEventsRun);

  void Begin(std::int64_t total) override;
  void Advance(std::int64_t bytes) override;
  void End() override;
  void Tick() override;

 private:
  QProgressBar* bar_;
  std::function<void()> letEventsRun_;
  std::int64_t total_ = 0;
  std::int64_t done_ = 0;
  int shift_ = 0;
};

}  // namespace lumivex
