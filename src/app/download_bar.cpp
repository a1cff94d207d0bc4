#include "app/download_bar.h"

#include <QProgressBar>
#include <algorithm>
#include <limits>

namespace lumivex {

int ProgressShift(std::int64_t total) {
  int shift = 0;
  while ((total >> shift) > std::numeric_limits<int>::max()) ++shift;
  return shift;
}

DownloadBar::DownloadBar(QProgressBar* bar, std::function<void()> letEventsRun)
    : bar_(bar), letEventsRun_(std::move(letEventsRun)) {}

void DownloadBar::Begin(std::int64_t total) {
  total_ = std::max<std::int64_t>(total, 0);
  done_ = 0;
  shift_ = ProgressShift(total_);
  // A maximum of 0 (no length announced) shows a busy bar.
  bar_->setRange(0, static_cast<int>(total_ >> shift_));
  bar_->setValue(0);
  bar_->show();
}

void DownloadBar::Advance(std::int64_t bytes) {
  done_ += bytes;
  if (total_ > 0) bar_->setValue(static_cast<int>(std::min(done_, total_) >> shift_));
  bar_->repaint();
}

void DownloadBar::End() { bar_->hide(); }

void DownloadBar::Tick() {
  if (letEventsRun_) letEventsRun_();
}

}  // namespace lumivex
