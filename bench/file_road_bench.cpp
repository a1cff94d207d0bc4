// The file road over a mixed-encoding set of about 6 MB: every language
// sample (windows-125x, GBK, GB18030, Big5, EUC-KR, Shift-JIS, EUC-JP, UTF-8,
// UTF-16) repeated to about 300 KB. Decoding (detection and transcoding),
// the rules alone, and the whole road with backup and rewrite.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "encoding/source_text.h"
#include "pipeline/driver.h"
#include "pipeline/file_road.h"
#include "support/fake_settings.h"
#include "support/language_samples.h"

namespace {

using lumivex::Engine;
namespace fs = std::filesystem;

constexpr std::size_t kFileBytes = 300 * 1024;

const std::vector<std::string>& MixedSet() {
  static const std::vector<std::string> files = [] {
    ::setenv("LUMIVEX_SOURCE_DIR", LUMIVEX_SOURCE_DIR, 0);
    std::vector<std::string> out;
    for (const auto& sample : lumivex::testing::LanguageSamples()) {
      lumivex::testing::LanguageSample body = sample;
      body.mark = false;
      const std::string once = lumivex::testing::SampleBytes(body);
      std::string bytes = sample.mark ? lumivex::testing::SampleBytes(sample) : once;
      while (bytes.size() < kFileBytes) bytes += once;
      out.push_back(std::move(bytes));
    }
    return out;
  }();
  return files;
}

int64_t SetBytes() {
  int64_t total = 0;
  for (const std::string& f : MixedSet()) total += static_cast<int64_t>(f.size());
  return total;
}

void BM_DecodeMixedSet(benchmark::State& state) {
  for (auto _ : state)
    for (const std::string& bytes : MixedSet()) benchmark::DoNotOptimize(lumivex::DecodeSource(bytes));
  state.SetBytesProcessed(state.iterations() * SetBytes());
}

void BM_ConvertTextMixedSet(benchmark::State& state) {
  std::vector<std::string> texts;
  for (const std::string& bytes : MixedSet()) texts.push_back(lumivex::DecodeSource(bytes).source->text);
  lumivex::testing::FakeSettings settings;
  Engine engine;
  engine.settings = &settings;
  for (auto _ : state)
    for (const std::string& text : texts) benchmark::DoNotOptimize(lumivex::ConvertText(engine, text));
  state.SetBytesProcessed(state.iterations() * SetBytes());
}

void BM_EncodeRewriteMixedSet(benchmark::State& state) {
  lumivex::testing::FakeSettings settings;
  Engine engine;
  engine.settings = &settings;
  std::vector<std::string> converted;
  for (const std::string& bytes : MixedSet())
    converted.push_back(lumivex::ConvertText(engine, lumivex::DecodeSource(bytes).source->text));
  for (auto _ : state)
    for (const std::string& text : converted) benchmark::DoNotOptimize(lumivex::EncodeRewrite(text));
  state.SetBytesProcessed(state.iterations() * SetBytes());
}

void BM_FileRoadMixedSet(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / ("lumivex-road-bench-" + std::to_string(::getpid()));
  lumivex::testing::FakeSettings settings;
  Engine engine;
  engine.settings = &settings;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < MixedSet().size(); ++i) {
      std::string name = "f";
      name.append(std::to_string(i)).append(".mq4");
      paths.push_back((dir / name).string());
      std::ofstream(paths.back(), std::ios::binary) << MixedSet()[i];
    }
    state.ResumeTiming();
    for (const std::string& path : paths)
      if (!lumivex::ConvertFile(engine, path)) state.SkipWithError("a file was not rewritten");
  }
  state.SetBytesProcessed(state.iterations() * SetBytes());
  fs::remove_all(dir);
}

}  // namespace

BENCHMARK(BM_DecodeMixedSet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertTextMixedSet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeRewriteMixedSet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileRoadMixedSet)->Unit(benchmark::kMillisecond);
