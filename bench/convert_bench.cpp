// Conversion speed on generated MQL4-like sources of 1,000, 10,000 and
// 100,000 lines: ConvertText with every wired phase switched on (the helpers
// hold a local hiding a global, an unused local, a Comment call and a
// StringConcatenate declaration for the per-function pass), and the
// whole file road (read, detect, decode, convert, back up, rewrite).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "../tests/support/fake_settings.h"
#include "pipeline/driver.h"
#include "pipeline/file_road.h"
#include "text/text.h"

namespace {

using lumivex::CountLines;
using lumivex::Engine;

// A program of about `lines` lines: globals, init/deinit/start, and helper
// functions with order loops, comments, strings, nested and mixed AND/OR
// conditions, unrecognised escapes and array parameters.
std::string MakeSource(int lines) {
  std::string s =
      "//+------------------------------------------------------------------+\r\n"
      "//| Generated expert                       http://www.example.com/ |\r\n"
      "//+------------------------------------------------------------------+\r\n"
      "#property copyright \"Example\"\r\n"
      "extern double Lots = 0.1;\r\n"
      "extern int    MagicNumber = 1234;\r\n"
      "int    ticket;\r\n"
      "double prices[10];\r\n"
      "string path = \"C:\\\\Program Files\\\\MT4\";\r\n"
      "int init()\r\n{\r\n   return(0);\r\n}\r\n"
      "int deinit()\r\n{\r\n   return(0);\r\n}\r\n";
  int count = CountLines(s);
  for (int n = 0; count < lines; ++n) {
    const std::string f = std::to_string(n);
    const std::size_t start = s.size();
    s += "/* Helper " + f + ": walks the open orders\r\n   and closes the losing ones. */\r\n";
    s += "int Helper" + f + "(int shift, double level)\r\n{\r\n";
    s += "   int total = OrdersTotal();\r\n   bool done = TRUE;\r\n\r\n\r\n\r\n";
    s += "   int ticket = shift; string note = StringConcatenate(note, level);\r\n";
    s += "   Comment(\"level \" + level, ticket, note);\r\n";
    s += "   for (int i = total - 1; i >= 0; i--)\r\n   {\r\n";
    s += "      OrderSelect(i, SELECT_BY_POS, MODE_TRADES);\r\n";
    s += "      if (OrderMagicNumber() != MagicNumber) continue;\r\n";
    s += "      if (OrderProfit() < level)if (shift > 0) { OrderClose(OrderTicket(), "
         "OrderLots(), Bid, 3, Red); }\r\n";
    s += "      // keep the rest\r\n      // for the next pass\r\n";
    s += "   }\r\n   if (shift > 0 && level > 0 || total == 0) Print(\"skip\\q \" + total);\r\n";
    s += "   if (level > 0 &&\r\n\r\n       shift < 10)\r\n";
    s += "      Print(\"level \" + DoubleToStr(level, 2) + \" see http://x.org/\");\r\n";
    s += "   return(total);\r\n}\r\n\r\n";
    s += "double Sum" + f + "(double values[], int count)\r\n{\r\n   return(values[0] * count);\r\n}\r\n";
    count += CountLines(std::string_view(s).substr(start));
  }
  s += "int start()\r\n{\r\n   Helper0(1, 0.5);\r\n   return(0);\r\n}\r\n";
  return s;
}

void BM_ConvertText(benchmark::State& state) {
  const std::string source = MakeSource(static_cast<int>(state.range(0)));
  lumivex::testing::FakeSettings settings;
  Engine engine;
  engine.settings = &settings;
  for (auto _ : state) benchmark::DoNotOptimize(lumivex::ConvertText(engine, source));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(source.size()));
  state.counters["lines"] = static_cast<double>(CountLines(source));
}

void BM_ConvertFile(benchmark::State& state) {
  const std::string source = MakeSource(static_cast<int>(state.range(0)));
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("lumivex-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "a.mq4").string();
  lumivex::testing::FakeSettings settings;
  Engine engine;
  engine.settings = &settings;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove_all(dir / "BackUp");
    std::ofstream(path, std::ios::binary) << source;
    state.ResumeTiming();
    if (!lumivex::ConvertFile(engine, path)) state.SkipWithError("the file was not rewritten");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(source.size()));
  std::filesystem::remove_all(dir);
}

}  // namespace

BENCHMARK(BM_ConvertText)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertFile)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
