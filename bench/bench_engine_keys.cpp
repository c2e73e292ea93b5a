// Engine keys per second through the key harness's path: a KeySession takes
// key tokens as quintora-keys reads them and runs them through the engine.
// Target: at least 1,000,000 keys a second. The program prints whether the
// target is met and exits with 1 when it is not.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "KeySession.h"

namespace {

constexpr double kTargetKeysPerSecond = 1e6;

// A mix of what the harness is fed: skin clicks, hidden buttons, typed keys,
// memory keys, undo, copy; the clear at the end keeps the display short.
const std::vector<std::string_view> kSequence = {
    "7", "+", "2", "=", "M+", "1", ".", "5", "X", "3", "=", "CE", "MR", "b4", "b*", "b2",
    "b=", "k9", "k/", "k3", "kEnter", "copy", "M-", "MC", "-", "8", "/", "4", "=", "C"};

// One session per sequence, as quintora-keys runs each line, the JSON line
// included.
void BM_HarnessSequence(benchmark::State& state) {
  std::size_t keys = 0;
  for (auto _ : state) {
    quintora::KeySession session;
    for (std::string_view token : kSequence) session.Press(token);
    benchmark::DoNotOptimize(session.Json());
    keys += kSequence.size();
  }
  state.counters["keys/s"] = benchmark::Counter(double(keys), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_HarnessSequence)->Repetitions(5)->ReportAggregatesOnly(true);

// Keys into one long-lived session; a fresh one every 100 sequences so the
// session's effect log stays small.
void BM_KeyPress(benchmark::State& state) {
  auto session = std::make_unique<quintora::KeySession>();
  std::size_t next = 0, sequences = 0;
  for (auto _ : state) {
    session->Press(kSequence[next]);
    if (++next == kSequence.size()) {
      next = 0;
      if (++sequences % 100 == 0) session = std::make_unique<quintora::KeySession>();
    }
  }
  state.counters["keys/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_KeyPress)->Repetitions(5)->ReportAggregatesOnly(true);

// Remembers the median keys a second of every benchmark.
class TargetReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.aggregate_name != "median") continue;
      const auto counter = run.counters.find("keys/s");
      if (counter != run.counters.end()) medians.emplace_back(run.benchmark_name(), counter->second.value);
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::vector<std::pair<std::string, double>> medians;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TargetReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  bool met = true;
  for (const auto& [name, rate] : reporter.medians) {
    const bool ok = rate >= kTargetKeysPerSecond;
    met = met && ok;
    std::printf("%-28s %12.0f keys/s  target >= %.0f: %s\n", name.c_str(), rate, kTargetKeysPerSecond,
                ok ? "met" : "MISSED");
  }
  return met ? 0 : 1;
}
