// Global initialisers that call run-time functions, and statements standing
// at file scope, moved into the program's initialisation function.
//
// The newer compiler rejects both at file scope. The global part is rewritten
// once per conversion and what was taken out is collected as statements; a
// later pass writes them at the start of the body of init or OnInit.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "text/engine.h"

namespace lumivex {

// The switch both operations answer to.
inline constexpr std::string_view kGlobalScopeSwitch = "chkExpressionsNotAllowedGlobalScope";

// An initialiser holding one of these (a plain byte search) is moved.
inline constexpr std::array<std::string_view, 19> kMovableCalls = {
    "AccountBalance()",       "AccountCredit()",      "AccountCompany()",
    "AccountCurrency()",      "AccountEquity()",      "AccountFreeMargin()",
    "AccountFreeMarginCheck()", "AccountFreeMarginMode()", "AccountLeverage()",
    "AccountMargin()",        "AccountName()",        "AccountNumber()",
    "AccountProfit()",        "AccountServer()",      "AccountStopoutLevel()",
    "AccountStopoutMode()",   "MarketInfo(",          "Period()",
    "Symbol()"};

// A global line whose trimmed code begins with one of these is a declaration
// (no blank required after the word); so is one beginning with the word
// "const", whose initialisers are never moved.
inline constexpr std::array<std::string_view, 17> kDeclarationWords = {
    "static", "extern", "input", "bool",  "datetime", "color", "char",  "uchar", "short",
    "ushort", "string", "int",   "uint",  "long",     "ulong", "float", "double"};

// Rewrites the global part (the lines before the first function head, each
// ending in "\r\n"): initialisers that call one of kMovableCalls are taken
// out of their declarations, and statements at file scope are commented out.
// Everything else of a declaration stays as written, its lines and comments
// included, so rewriting the result again changes nothing. Directives (with
// the lines a final backslash splices to them) and block comments pass whole.
// `inits` is emptied and receives what was taken out, one statement a line:
// "    name = initialiser;" for an initialiser, the statement as it stood for
// a statement. With the switch off the global part comes back unchanged.
std::string MoveGlobalInitialisers(Engine& engine, std::string_view globalPart,
                                   std::string& inits);

// True when text has a function head whose name is exactly init or OnInit,
// the function InsertGlobalInitsIntoInit writes into.
bool HasInitFunction(std::string_view text);

// Phase 10: writes `inits` behind the opening brace of the function named
// exactly init or OnInit (the first one, once). Joins every function head
// written over several lines into one line ending in "{" (see JoinHead). Collected
// statements are inserted whatever the switch says now; with the switch off
// and nothing collected the text comes back unchanged. Never sets TextChanged.
std::string InsertGlobalInitsIntoInit(Engine& engine, std::string_view text,
                                      std::string_view inits);

}  // namespace lumivex
