// The rule phases that the conversion driver runs between the line pre-pass
// and the restore. Each takes the working text and returns the new one.
#pragma once

#include <string>
#include <string_view>

#include "text/engine.h"

namespace lumivex {

// Phase 3: blocks that stand on one line are split onto separate lines.
std::string SplitOneLineBlocks(Engine& engine, std::string_view text);
// Phase 4: ignored OrderSelect results become checked calls; sets OrderSelectFixed.
std::string FixOrderSelectResults(Engine& engine, std::string_view text);
// Phase 5: results of OrderClose/OrderModify/OrderSend/OrderDelete captured in
// chk; inserts "bool chk;" when hasChk is false, and sets it then.
std::string FixOrderCallResults(Engine& engine, std::string_view text, bool& hasChk);
// Phase 6: missing return values; the global part is treated at the first
// function head and handed on in globalSection and globalInits.
std::string FixMissingReturns(Engine& engine, std::string_view text,
                              std::string& globalSection, std::string& globalInits);

}  // namespace lumivex
