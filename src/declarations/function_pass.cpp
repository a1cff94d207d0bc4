// Two walks over the text. The gathering walk only adds to the global lists:
// an entry for each function after the first, and the declarations that
// stand between and after the functions. The rewriting walk cuts the text
// into the global part and one chunk per function definition, runs the
// function rules on each chunk and joins the pieces again.
#include "declarations/function_pass.h"

#include "declarations/code_regions.h"
#include "declarations/collection.h"
#include "declarations/comment_casts.h"
#include "declarations/locals.h"
#include "declarations/name_list.h"
#include "declarations/renames.h"
#include "declarations/string_concatenate.h"
#include "rules/function_heads.h"
#include "rules/line_walk.h"
#include "text/line_cursor.h"
#include "text/text.h"

namespace lumivex {

namespace {

// Lines a head is looked at with once its window holds the ")".
constexpr int kGatheringLookAhead = 5;
constexpr int kRewritingLookAhead = 3;

bool Holds(std::string_view text, std::string_view needle) { return PosNth(0, needle, text) > 0; }

// Bytes of text behind its last "}", or npos when it holds none.
std::size_t TailAfterLastBrace(std::string_view text) {
  if (!Holds(text, "}")) return std::string_view::npos;
  std::string rest(text);
  FetchUpToLast("}", rest);
  return rest.size();
}

class GatheringWalk {
 public:
  GatheringWalk(std::string_view text, NameList& globals)
      : text_(text), unread_(std::string(text)), tail_(TailAfterLastBrace(text)), globals_(globals) {}

  void Run() {
    while (!unread_.Empty()) {
      std::string line = unread_.Fetch();
      if (IsCommentLine(line)) {
        AddToChunk(line);
        continue;
      }
      const LineParts parts = SplitCodeAndComment(line);
      const HeadKind kind = JudgeHead(parts.code, unread_, kGatheringLookAhead);
      if (kind == HeadKind::Head) {
        DefinitionHead(parts.code);
        continue;
      }
      if (kind == HeadKind::NotHeadLike) OrdinaryLine(parts.code);
      AddToChunk(line);
    }
  }

 private:
  // The lines read to the head's "{" are gone from the walk.
  void DefinitionHead(std::string head) {
    JoinHead(head, unread_);
    const std::string name(HeadName(head));
    if (name != previousName_ && previousName_.size() >= 2) {
      globals_.Append(name + "(", std::string(HeadType(head)));
      // What follows the last "}" of the function before is file-scope text,
      // unless a return line came after that function's closing brace.
      if (!returnSeen_ && Holds(chunk_, "}")) CollectDeclarations(FileScopeTail(), globals_);
      returnSeen_ = false;
    }
    previousName_ = name;
    headDepth_ = BraceBalance(head, kDeclarationSyntax);
    chunk_.clear();
  }

  // The part of the chunk behind the "}" that closes the function before:
  // file scope, even when it holds braces of its own (an array initialiser).
  // Braces that do not balance leave the part behind the chunk's last "}".
  std::string FileScopeTail() const {
    const std::size_t end = headDepth_ > 0 ? ClosingBraceEnd(chunk_, headDepth_) : 0;
    if (end != std::string_view::npos) return chunk_.substr(end);
    std::string tail = chunk_;
    FetchUpToLast("}", tail);
    return tail;
  }

  void OrdinaryLine(std::string_view code) {
    if (Holds(code, "return")) {
      returnSeen_ = true;
    } else if (Holds(code, "}")) {
      if (RestHoldsBrace()) returnSeen_ = false;
    } else if (!RestHoldsBrace() && !tailCollected_) {
      // Past the last "}" the text is file scope; it is read once, from
      // behind that "}" (the whole text when it holds none).
      CollectDeclarations(text_.substr(tail_ == std::string_view::npos ? 0 : text_.size() - tail_),
                          globals_);
      tailCollected_ = true;
    }
  }

  // The unread text is always a tail of the text (lines looked ahead at are
  // put back as they were), so it holds a "}" while it is longer than the
  // part behind the text's last "}".
  bool RestHoldsBrace() const {
    return tail_ != std::string_view::npos && unread_.Rest().size() > tail_;
  }

  void AddToChunk(std::string_view line) {
    chunk_ += line;
    chunk_ += "\r\n";
  }

  const std::string_view text_;
  LineCursor unread_;
  const std::size_t tail_;
  NameList& globals_;
  std::string chunk_;
  std::string previousName_;
  int headDepth_ = 0;
  bool returnSeen_ = false;
  bool tailCollected_ = false;
};

class RewritingWalk {
 public:
  RewritingWalk(Engine& engine, std::string_view text, const NameList& globals)
      : engine_(engine), unread_(std::string(text)), globals_(globals) {
    result_.reserve(text.size() + text.size() / 16);
  }

  std::string Run() {
    while (!unread_.Empty()) {
      std::string line = unread_.Fetch();
      if (!IsCommentLine(line)) {
        const LineParts parts = SplitCodeAndComment(line);
        if (JudgeHead(parts.code, unread_, kRewritingLookAhead) == HeadKind::Head)
          DefinitionHead(parts.code);
      }
      chunk_ += line;
      chunk_ += "\r\n";
      if (!inFunction_) {
        globalPart_ += line;
        globalPart_ += "\r\n";
      }
    }
    // Without a function definition the whole text is file scope: its
    // declarations are globals, never locals.
    if (!inFunction_) return GlobalPart();
    if (!chunk_.empty()) result_ += FinishChunk();
    return std::move(result_);
  }

 private:
  std::string GlobalPart() {
    if (!engine_.Checked("chkReplaceFuncVariable")) return std::move(globalPart_);
    return RenameIllegalIdentifiers(engine_, true, globalPart_, locals_, globals_);
  }

  // The lines read to the head's "{" are put back and read again as lines
  // of the new chunk.
  void DefinitionHead(std::string head) {
    if (!inFunction_) {
      result_ += GlobalPart();
      globalPart_.clear();
      chunk_.clear();
    }
    inFunction_ = true;
    if (!chunk_.empty()) result_ += FinishChunk();
    chunk_.clear();
    const std::string_view before = unread_.Rest();
    JoinHead(head, unread_);
    unread_.PutBack(before.substr(0, before.size() - unread_.Rest().size()));
    locals_ = ParseFunctionParams(head);
  }

  // The body runs to the "}" that closes the head's "{"; what follows it
  // (comments, declarations and array initialisers before the next function)
  // stays as it is. Braces that do not balance end the body at the chunk's
  // last "}".
  std::string FinishChunk() {
    std::string body = chunk_;
    std::string tail;
    const std::size_t end = ClosingBraceEnd(chunk_, 0);
    if (end != std::string_view::npos) {
      body = chunk_.substr(0, end);
      tail = chunk_.substr(end);
    } else if (Holds(chunk_, "}")) {
      tail = chunk_;
      body = FetchUpToLast("}", tail) + "}";
    }
    const std::size_t paramCount = locals_.size();
    CollectLocalVariables(body, locals_);
    if (!locals_.empty()) body = FixLocalDeclarations(engine_, body, locals_, globals_, paramCount);
    if (engine_.Checked("chkReplaceCommentArr") && (!globals_.empty() || !locals_.empty()))
      body = FixCommentConversion(engine_, body, locals_, globals_);
    if (engine_.Checked("chkReplaceFuncVariable"))
      body = RenameIllegalIdentifiers(engine_, false, body, locals_, globals_);
    if (engine_.Checked("chkStringConcatenate")) body = FixStringConcatenate(engine_, body);
    locals_.Clear();
    return body + tail;
  }

  Engine& engine_;
  LineCursor unread_;
  const NameList& globals_;
  NameList locals_;
  std::string result_;
  std::string globalPart_;
  std::string chunk_;
  bool inFunction_ = false;
};

}  // namespace

std::string AnalyseFunctionBodies(Engine& engine, std::string_view text,
                                  std::string_view globalSection) {
  if (!engine.Checked("chkHidesGlobalDeclaration")) return std::string(text);
  NameList globals;
  CollectDeclarations(globalSection, globals);
  GatheringWalk(text, globals).Run();
  const NameList reserved = SelectReservedNames(globals);
  std::string result = RewritingWalk(engine, text, globals).Run();
  if (engine.Checked("chkChangeGrbAlreadyReserved"))
    result = RenameReservedGlobals(engine, result, reserved);
  return result;
}

}  // namespace lumivex
