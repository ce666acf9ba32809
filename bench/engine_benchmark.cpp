// The engine alone: bytes per second of the scanner over an in-memory buffer, with and without
// the echo (painted into the console's buffer and written to /dev/null), and of the
// character-at-a-time scanner for comparison.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include "console/console.h"
#include "convert/reference_scanner.h"
#include "convert/scanner.h"
#include "memory_conversion.h"
#include "os/standard_streams.h"
#include "pascal_text.h"

namespace {

const std::string& Source() {
  static const std::string text = GeneratePascalText(16 << 20, 1);
  return text;
}

// Only counts what is written, so that the time is the scanner's own.
void ConvertSource(bool echo) {
  std::size_t written = 0;
  ConvertInMemory(Source(), {}, echo,
                  [&written](std::string_view bytes) { written += bytes.size(); });
  benchmark::DoNotOptimize(written);
}

void ShowConsoleOnDevNull() {
  SetStandardOutputFd(::open("/dev/null", O_WRONLY));
  InitConsole({.shown = true, .colours = true, .width = 80});
}

void BM_ScannerWithoutEcho(benchmark::State& state) {
  for (auto _ : state)
    ConvertSource(false);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Source().size()));
}
BENCHMARK(BM_ScannerWithoutEcho)->Unit(benchmark::kMillisecond);

void BM_ScannerWithEcho(benchmark::State& state) {
  ShowConsoleOnDevNull();
  for (auto _ : state)
    ConvertSource(true);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Source().size()));
}
BENCHMARK(BM_ScannerWithEcho)->Unit(benchmark::kMillisecond);

void BM_CharacterScanner(benchmark::State& state) {
  const std::string input = Source().substr(0, 1 << 20);
  for (auto _ : state)
    benchmark::DoNotOptimize(ConvertByCharacters(input, {.OptQuiet = true}));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
}
BENCHMARK(BM_CharacterScanner)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
