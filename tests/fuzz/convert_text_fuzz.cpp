// The whole conversion driver under every combination of the settings.
//
// Options line: byte i sets check box i of SettingsModel::CheckBoxNames()
// ("0" unchecks it), the byte after them picks the OrderSelect radio button
// (its value modulo 3), and whatever follows on the line gives the edit
// fields in form order, separated by "|". The rest is the source text.
//
// Whatever the text and the settings, a run
// - reports progress as the main window shows it: shown, reset, the line
//   count as the maximum, one position per phase from 2 to 12 that never
//   goes back or beyond the maximum, then hidden later;
// - gives "\r\n" line ends only, the last line ended too;
// - leaves none of the bytes it holds things out of the rules' way with
//   (Chr(127), Chr(8)) in a text when neither it nor the settings had one;
// - gives back every comment that the line pre-pass folded out of the rules'
//   way (with chkCommentCompression), whole;
// - depends on the text and the settings alone: the same engine used again
//   for the next file gives what a fresh one gives.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/support/fuzz_check.h"
#include "pipeline/driver.h"
#include "pipeline/line_prepass.h"
#include "settings/settings_model.h"
#include "pipeline/support/road_fakes.h"
#include "text/text.h"

namespace lumivex {
namespace {

using fuzz::Require;

void ApplyOptions(SettingsModel& settings, std::string_view options) {
  const auto& boxes = SettingsModel::CheckBoxNames();
  for (std::size_t i = 0; i < boxes.size(); ++i) settings.SetChecked(boxes[i], fuzz::Option(options, i));
  if (options.size() <= boxes.size()) return;
  const auto& radios = SettingsModel::RadioNames();
  settings.SetChecked(radios[static_cast<unsigned char>(options[boxes.size()]) % radios.size()], true);
  std::string_view texts = options.substr(boxes.size() + 1);
  for (std::string_view name : SettingsModel::TextNames()) {
    if (texts.empty()) break;
    const std::size_t bar = texts.find('|');
    // An edit field holds one line: no line-end bytes.
    std::string text(texts.substr(0, bar));
    std::erase(text, '\r');
    settings.SetText(name, std::move(text));
    texts = bar == std::string_view::npos ? std::string_view() : texts.substr(bar + 1);
  }
}

void CheckProgress(const std::vector<std::string>& calls, int lines, std::string_view source) {
  const auto number = [](const std::string& call, std::string_view prefix) {
    return call.starts_with(prefix) ? IntVal(call.substr(prefix.size())) : -1;
  };
  const std::vector<std::string> start = {"visible 1", "pos 0", "refresh", "max " + std::to_string(lines)};
  Require(calls.size() == start.size() + 2 * 11 + 1, "one progress step per phase", source);
  Require(std::equal(start.begin(), start.end(), calls.begin()), "the bar is shown, reset and sized first", source);
  int last = 0;
  for (std::size_t i = start.size(); i + 1 < calls.size(); i += 2) {
    const int position = number(calls[i], "pos ");
    Require(position >= last && position <= lines, "the bar only moves forward, up to the line count", source);
    Require(calls[i + 1] == "refresh", "every step is shown at once", source);
    last = position;
  }
  Require(calls.back() == "hide later", "the bar is hidden after the run", source);
}

void CheckLineEnds(std::string_view text, std::string_view source) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') Require(i + 1 < text.size() && text[i + 1] == '\n', "no lone \"\\r\" in the result", source);
    if (text[i] == '\n') Require(i > 0 && text[i - 1] == '\r', "no lone \"\\n\" in the result", source);
  }
  Require(text.empty() || text.ends_with("\r\n"), "the last line of the result is ended", source);
}

// The comments the pre-pass folds out of source, as they must come back.
// Checked unless phase 1 inserted OnInit(), which may stand inside a run of
// "//" lines and so fold it as two.
void CheckFoldedCommentsReturn(const Settings& settings, const Engine& run, std::string_view source,
                               std::string_view converted) {
  if (!settings.Checked("chkCommentCompression")) return;
  Engine probe;
  probe.settings = &settings;
  const bool insertedOnInit = !FindInCodeLine(probe, source, " init(") &&
                              !FindInCodeLine(probe, source, " OnInit(") && run.EntryFuncLine.size() > 5;
  if (insertedOnInit) return;
  PrepareLines(probe, source);
  for (std::size_t i = 0; i < probe.FoldedComments.size(); ++i) {
    const std::string marker = std::string(markers::MarkOpen) + std::to_string(i) + std::string(markers::MarkClose);
    std::string comment = RestoreLines(probe, marker + "\r\n");
    if (!probe.FoldedComments[i].ends_with("\r\n")) comment.resize(comment.size() - 2);
    Require(converted.find(comment) != std::string_view::npos, "every folded comment comes back whole",
            comment + "\nin:\n" + std::string(converted));
  }
}

std::string Flags(const Engine& e) {
  std::string flags;
  for (bool f : {e.TextChanged, e.ConverterRan, e.IsIndicator, e.NoInit, e.NoDeinit, e.NoStart, e.NoOnCalculate,
                 e.NoOnTick, e.OrderSelectFixed})
    flags += f ? '1' : '0';
  return flags + " " + e.EntryFuncLine;
}

}  // namespace
}  // namespace lumivex

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumivex;
  const fuzz::Input input = fuzz::SplitOptions(fuzz::Bytes(data, size));
  const std::string_view source = input.body;
  SettingsModel settings;
  ApplyOptions(settings, input.options);
  testing::RoadProgress progress;
  Engine engine;
  engine.settings = &settings;
  engine.progress = &progress;

  const std::string converted = ConvertText(engine, source);
  CheckProgress(progress.calls, CountLines(source), source);
  CheckLineEnds(converted, source);
  const auto holdsMarkerBytes = [](std::string_view s) { return s.find_first_of("\x7f\x08") != s.npos; };
  if (!holdsMarkerBytes(source) && !holdsMarkerBytes(input.options))
    fuzz::Require(converted.find_first_of("\x7f\x08") == std::string::npos,
                  "no marker or placeholder byte is left in the result", converted);
  CheckFoldedCommentsReturn(settings, engine, source, converted);

  // The next file, here the result itself, with the engine of this run and
  // with a fresh one.
  engine.progress = nullptr;
  const std::string again = ConvertText(engine, converted);
  Engine fresh;
  fresh.settings = &settings;
  fuzz::Require(ConvertText(fresh, converted) == again && Flags(fresh) == Flags(engine),
                "a run does not depend on the run before it", source);
  return 0;
}
