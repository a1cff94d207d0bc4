#include "pipeline/driver.h"

#include "declarations/function_pass.h"
#include "pipeline/line_prepass.h"
#include "pipeline/phases.h"
#include "rules/and_or.h"
#include "rules/array_refs.h"
#include "rules/escapes.h"
#include "rules/global_initialisers.h"
#include "rules/line_walk.h"
#include "rules/oninit.h"
#include "rules/order_calls.h"
#include "text/text.h"

namespace lumivex {

namespace {

// The progress bar after a phase: tenths of the line count, truncated.
void Advance(Engine& engine, int max, int tenths) {
  if (!engine.progress) return;
  engine.progress->SetPosition(static_cast<int>(max * 0.1 * tenths));
  engine.progress->Refresh();
}

// FindInCodeLine, with the lines that a "/* */" comment holds passed over
// too: a header quoted in such a comment names no function of the program,
// and an OnInit() put before it would be commented out.
bool FindInProgramLine(Engine& engine, std::string_view text, std::string_view key) {
  if (!FindInCodeLine(engine, text, key)) return false;
  if (text.find("/*") == std::string_view::npos) return true;
  const std::optional<std::string_view> line = FindProgramLine(text, key, true);
  engine.FoundLine.assign(line.value_or(std::string_view()));
  return line.has_value();
}

// Phase 1 classification: each key is looked for in lines not starting with
// "//" and not inside a "/* */" comment.
void DetectProgramKind(Engine& engine, std::string_view text, bool& hasChk) {
  engine.IsIndicator = FindInProgramLine(engine, text, "indicator_buffers");
  hasChk = HasChkDeclaration(text);
  engine.NoInit =
      !FindInProgramLine(engine, text, " init(") && !FindInProgramLine(engine, text, " OnInit(");
  engine.NoDeinit =
      !FindInProgramLine(engine, text, " deinit(") && !FindInProgramLine(engine, text, " OnDeinit(");
  if (FindInProgramLine(engine, text, " start(") || FindInProgramLine(engine, text, " OnStart(")) {
    engine.EntryFuncLine = engine.FoundLine;
    return;
  }
  engine.NoStart = true;
  if (FindInProgramLine(engine, text, " OnCalculate"))
    engine.EntryFuncLine = engine.FoundLine;
  else
    engine.NoOnCalculate = true;
  // An OnTick line wins over an OnCalculate line as the anchor.
  if (FindInProgramLine(engine, text, " OnTick"))
    engine.EntryFuncLine = engine.FoundLine;
  else
    engine.NoOnTick = true;
}

}  // namespace

std::string ConvertText(Engine& engine, std::string_view source) {
  if (engine.progress) {
    engine.progress->SetVisible(true);
    engine.progress->SetPosition(0);
    engine.progress->Refresh();
  }
  engine.TextChanged = false;
  engine.ConverterRan = true;
  engine.IsIndicator = engine.NoStart = engine.NoOnCalculate = engine.NoOnTick = false;
  engine.NoInit = engine.NoDeinit = false;
  engine.EntryFuncLine.clear();
  engine.OrderSelectFixed = false;
  engine.FoldedComments.clear();
  bool hasChk = false;
  std::string globalSection;
  std::string globalInits;

  const int max = CountLines(source);
  if (engine.progress) engine.progress->SetMax(max);

  // Phase 1: program kind, and an empty OnInit() before the entry function
  // when the program has none.
  std::string text(source);
  DetectProgramKind(engine, text, hasChk);
  if (engine.NoInit && engine.EntryFuncLine.size() > 5) {
    text = InsertOnInit(text, engine.EntryFuncLine);
    engine.NoInit = false;
  }

  // Phase 2: placeholders, "TRUE", comment folding, the if split.
  text = PrepareLines(engine, text);
  Advance(engine, max, 1);

  // Phases 3 and 4: one-line blocks, then the OrderSelect result check.
  if (engine.Checked("chkOrderSelect")) text = SplitOneLineBlocks(engine, text);
  Advance(engine, max, 1);
  if (engine.Checked("chkOrderSelect")) text = FixOrderSelectResults(engine, text);
  Advance(engine, max, 2);

  // Phase 5: results of the order calls captured in chk.
  if (engine.Checked("chkOrderModify")) text = FixOrderCallResults(engine, text, hasChk);
  Advance(engine, max, 3);

  // Phase 6: missing return values; the only source of the global section
  // and of the initialisers moved out of it.
  if (engine.Checked("chkFixReturn"))
    text = FixMissingReturns(engine, text, globalSection, globalInits);
  Advance(engine, max, 4);

  // Phases 7 and 8: AND/OR grouping, unrecognised escapes; each rule reads
  // its own switch.
  text = FixAndOrPriorityLevel(engine, text);
  Advance(engine, max, 5);
  text = FixUnrecognizedEscape(engine, text);
  Advance(engine, max, 6);
  // Phase 9: the per-function pass; its rules read their own switches.
  text = AnalyseFunctionBodies(engine, text, globalSection);
  Advance(engine, max, 7);

  // Phase 10: the collected global initialisers go into init.
  text = InsertGlobalInitsIntoInit(engine, text, globalInits);
  Advance(engine, max, 8);

  // Phase 11: array parameters by reference (the rule reads its switch).
  text = FixArraysByReference(engine, text);
  Advance(engine, max, 9);

  // Phase 12.
  text = CompactBlankLines(text);
  Advance(engine, max, 10);

  // Phase 13: folded comments and placeholders back.
  text = RestoreLines(engine, text);
  if (engine.progress) engine.progress->HideLater();
  return text;
}

}  // namespace lumivex
