// The two roads by which source files reach the converter (the open-file
// dialog and drops on the drop area), kept apart from the window so they can
// be driven without one. No Qt here: the window hands in what the user chose
// or dropped and does the flashing and the message box.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/colours.h"
#include "text/engine.h"

namespace lumivex {

enum class Road { Dialog, Drop };

// The message that ends a road: the drop area flashes in colour, then an OK
// box shows text under caption. Texts are UTF-8.
struct ResultMessage {
  int row = 0;  // 1..5, the first matching row of the result table
  unsigned colour = 0;
  std::string text;
  std::string caption;
};

// Picks the result row from the road's outcome and the kind flags the last
// conversion left in engine.
ResultMessage ChooseResult(Road road, bool outcome, const Engine& engine);

// Follows one dropped name to the source it stands for: a regular ".mq4" file
// (any letter case), reached directly or through symbolic links and shortcuts,
// also chains of them. Folders, other files, unreadable links and chains that
// come back on themselves give nullopt.
std::optional<std::string> ResolveDroppedName(const std::string& name);

// The sources of one drop, in drop order.
std::vector<std::string> CollectDroppedFiles(const std::vector<std::string>& names);

// Runs the conversions of both roads with the Busy guard that keeps them from
// overlapping (a conversion lets pending window events run, so a second drop
// or click can arrive while one converts).
class FileIntake {
 public:
  struct Hooks {
    // Converts one file; true when it was rewritten.
    std::function<bool(const std::string& path)> convert;
    // Flashes the drop area and shows the message box.
    std::function<void(const ResultMessage&)> report;
    // Lets pending window events run.
    std::function<void()> processEvents;
    // Shows an exception that escaped a conversion.
    std::function<void(const std::string& what)> showException;
  };

  // engine holds the kind flags the result rows are chosen from.
  FileIntake(const Engine& engine, Hooks hooks);

  bool Busy() const { return busy_; }

  // Dialog road after the dialog closed: name is the file the user chose
  // (nullopt when cancelled; openedWith is the name the dialog opened with).
  // A name that does not exist, or the unchanged opening name, gives no
  // message. Returns false when refused because a road is running.
  bool ConvertChosenFile(const std::optional<std::string>& name, const std::string& openedWith);

  // Drop road: names in drop order; onDropArea tells whether the drop landed
  // on the drop area (nothing happens otherwise). One message for the whole
  // drop, also when nothing was collected. Returns false when refused.
  bool ConvertDroppedFiles(const std::vector<std::string>& names, bool onDropArea);

 private:
  // Runs body with Busy set; clears Busy also when body throws, and shows
  // the exception.
  void RunBusy(const std::function<void()>& body);

  const Engine& engine_;
  Hooks hooks_;
  bool busy_ = false;
};

}  // namespace lumivex
