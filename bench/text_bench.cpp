// Text toolkit costs on generated MQL4-like sources of 100 KB, 1 MB and 10 MB.
// Every search and walk must grow linearly with the text.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "text/line_cursor.h"
#include "text/text.h"

namespace {

// A deterministic source: functions with comments, string literals, loops
// and a few Shift-JIS characters; a unique statement closes it, so searches
// for it cross the whole text.
std::string MakeSource(std::size_t size) {
  std::string text;
  text.reserve(size + 512);
  for (int f = 0; text.size() < size; ++f) {
    const std::string n = std::to_string(f);
    text += "//+------------------------------------------------------------------+\r\n";
    text += "//| Function " + n + " \x83\x41\x83\x43\x83\x65\x83\x80 (" + "\x95\x5c" + ")\r\n";
    text += "//+------------------------------------------------------------------+\r\n";
    text += "int Func" + n + "(double lots, string name)\r\n  {\r\n";
    text += "   string msg = \"Order // " + n + "\" + name;  // built \"here\"\r\n";
    text += "   for(int i = 0; i < OrdersTotal(); i++)\r\n     {\r\n";
    text += "      if(OrderSelect(i, SELECT_BY_POS, MODE_TRADES) && lots > 0.1)\r\n";
    text += "         Print(\"lots=\", DoubleToStr(lots, 2), \" \x83\x41\");\r\n";
    text += "     }\r\n   return(0);\r\n  }\r\n\r\n";
  }
  text += "int MarkerAtEnd = 1;\r\n";
  return text;
}

const std::string& Source(std::int64_t size) {
  static std::map<std::int64_t, std::string> cache;
  auto it = cache.find(size);
  if (it == cache.end()) it = cache.emplace(size, MakeSource(static_cast<std::size_t>(size))).first;
  return it->second;
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(100 << 10)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
}

void BM_PosNth(benchmark::State& state) {
  const std::string& text = Source(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(lumivex::PosNth(0, "MarkerAtEnd", text));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_PosNth)->Apply(Sizes);

void BM_PosInCode(benchmark::State& state) {
  const std::string& text = Source(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(lumivex::PosInCode(0, "MarkerAtEnd", text));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_PosInCode)->Apply(Sizes);

void BM_FetchWalk(benchmark::State& state) {
  const std::string& text = Source(state.range(0));
  for (auto _ : state) {
    // The cursor's own copy of the text is left out of the timing: at 10 MB it
    // lands on fresh pages from the allocator, at 1 MB on reused memory, which
    // says nothing about the walk.
    state.PauseTiming();
    lumivex::LineCursor cursor(text);
    state.ResumeTiming();
    std::size_t bytes = 0;
    while (!cursor.Empty()) bytes += cursor.Fetch().size();
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_FetchWalk)->Apply(Sizes);

void BM_ReplaceText(benchmark::State& state) {
  const std::string& text = Source(state.range(0));
  lumivex::Engine engine;
  for (auto _ : state) {
    benchmark::DoNotOptimize(lumivex::ReplaceText(engine, 0, "OrderSelectChecked", "OrderSelect", text));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ReplaceText)->Apply(Sizes);

}  // namespace
