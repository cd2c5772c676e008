// Benchmarks of every stage from load to save on lipped channels subdivided
// to 10^3 ... 10^6 plates, beside the two floors they are measured against:
// formatting the same numbers with std::to_chars into one buffer written with
// one call, and parsing them with std::from_chars from a buffer read whole.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "rounding/generation.h"
#include "section/cross_section.h"

namespace {

const std::string& scratchDirectory() {
  static const std::string directory = [] {
    const auto path = std::filesystem::temp_directory_path() / "zorvik-bench";
    std::filesystem::create_directories(path);
    return path.string();
  }();
  return directory;
}

// A lipped channel 200 x 75 x 20 whose five plates are split into `plates` in all.
CrossSection lippedChannel(int plates) {
  CrossSection section;
  section.b_r = {20, 75, 200, 75, 20};
  section.alpha_r = {90, 0, -90, -180, -270};
  section.rebuildFromPlates();
  section.roundCorners(0, 0, true, std::vector<int>(5, plates / 5));
  if (!section.setThickness(2)) std::abort();
  section.explanation.push_back("Lipped channel 200 x 75 x 20 subdivided");
  return section;
}

// The section file of a size, written once per process.
const std::string& sectionFile(int plates) {
  static std::map<int, std::string> files;
  auto found = files.find(plates);
  if (found == files.end()) {
    const std::string name = scratchDirectory() + "/lipped-" + std::to_string(plates) + ".kaf";
    CrossSection section = lippedChannel(plates);
    if (!section.save(name)) std::abort();
    found = files.emplace(plates, name).first;
  }
  return found->second;
}

void setPlates(benchmark::State& state, int plates) {
  state.counters["plates"] = plates;
  state.SetComplexityN(plates);
}

void BM_Load(benchmark::State& state) {
  const int plates = static_cast<int>(state.range(0));
  const std::string& file = sectionFile(plates);
  for (auto _ : state) {
    CrossSection section;
    benchmark::DoNotOptimize(section.load(file).ok());
  }
  setPlates(state, plates);
}

void BM_Save(benchmark::State& state) {
  const int plates = static_cast<int>(state.range(0));
  CrossSection section;
  if (!section.load(sectionFile(plates))) std::abort();
  const std::string out = scratchDirectory() + "/save.kaf";
  for (auto _ : state) benchmark::DoNotOptimize(section.save(out).ok());
  setPlates(state, plates);
}

// Chain check, rounding with 4 arc plates per corner, rebuild and thickness.
void BM_Round(benchmark::State& state) {
  const int plates = static_cast<int>(state.range(0));
  CrossSection loaded;
  if (!loaded.load(sectionFile(plates))) std::abort();
  for (auto _ : state) {
    state.PauseTiming();
    CrossSection section = loaded;
    state.ResumeTiming();
    section.roundCorners(4, 4, true, std::vector<int>(static_cast<std::size_t>(section.ns), 1));
    benchmark::DoNotOptimize(section.setThickness(2).ok());
  }
  setPlates(state, plates);
}

// One round of the program: load, round, thickness and both saves, through
// the very function the program runs.
void BM_GenerationRound(benchmark::State& state) {
  const int plates = static_cast<int>(state.range(0));
  const std::string& file = sectionFile(plates);
  GenerationSettings settings;
  settings.thickness = 2;
  settings.divisionNumbers.assign(static_cast<std::size_t>(plates), 1);
  for (auto _ : state) benchmark::DoNotOptimize(generateRound(file, settings, 4, 1).complete());
  setPlates(state, plates);
}

// The numbers of a section file in file order, as save writes them.
void collectNumbers(const CrossSection& s, std::vector<int>& ints, std::vector<double>& reals) {
  ints.insert(ints.end(), s.startNode.begin(), s.startNode.end());
  ints.insert(ints.end(), s.endNode.begin(), s.endNode.end());
  ints.insert(ints.end(), s.nodePlateCount.begin(), s.nodePlateCount.end());
  for (const RealList* list : {&s.nodeY, &s.nodeZ, &s.b_r, &s.t_r, &s.alpha_r, &s.K_r}) {
    reals.insert(reals.end(), list->begin(), list->end());
  }
}

void BM_FormatFloor(benchmark::State& state) {
  const int plates = static_cast<int>(state.range(0));
  CrossSection section;
  if (!section.load(sectionFile(plates))) std::abort();
  std::vector<int> ints;
  std::vector<double> reals;
  collectNumbers(section, ints, reals);
  const std::string out = scratchDirectory() + "/floor.txt";
  std::string buffer;
  for (auto _ : state) {
    buffer.resize(ints.size() * 12 + reals.size() * 16);
    char* at = &buffer[0];
    for (int v : ints) {
      at = std::to_chars(at, at + 12, v).ptr;
      *at++ = ' ';
    }
    for (double v : reals) {
      at = std::to_chars(at, at + 15, v, std::chars_format::general, 6).ptr;
      *at++ = ' ';
    }
    std::FILE* file = std::fopen(out.c_str(), "wb");
    std::fwrite(buffer.data(), 1, static_cast<std::size_t>(at - buffer.data()), file);
    std::fclose(file);
  }
  setPlates(state, plates);
}

void BM_ParseFloor(benchmark::State& state) {
  const int plates = static_cast<int>(state.range(0));
  const std::string& file = sectionFile(plates);
  const auto size = std::filesystem::file_size(file);
  for (auto _ : state) {
    std::string buffer(size, '\0');
    std::FILE* in = std::fopen(file.c_str(), "rb");
    benchmark::DoNotOptimize(std::fread(&buffer[0], 1, size, in));
    std::fclose(in);
    // Every blank-separated token that is a number, as a double.
    double sum = 0;
    const char* at = buffer.data();
    const char* end = at + buffer.size();
    while (at < end) {
      while (at < end && (*at == ' ' || *at == '\n')) ++at;
      double value = 0;
      const auto parsed = std::from_chars(at, end, value);
      if (parsed.ec == std::errc()) {
        sum += value;
        at = parsed.ptr;
      }
      while (at < end && *at != ' ' && *at != '\n') ++at;
    }
    benchmark::DoNotOptimize(sum);
  }
  setPlates(state, plates);
}

void sizes(benchmark::internal::Benchmark* b) {
  for (int plates : {1000, 10000, 100000, 1000000}) b->Arg(plates);
  b->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_Load)->Apply(sizes);
BENCHMARK(BM_ParseFloor)->Apply(sizes);
BENCHMARK(BM_Save)->Apply(sizes);
BENCHMARK(BM_FormatFloor)->Apply(sizes);
BENCHMARK(BM_Round)->Apply(sizes);
BENCHMARK(BM_GenerationRound)->Apply(sizes);

// The program's own memory setting, so that the stages are measured as it runs them.
int main(int argc, char** argv) {
  platform::keepFreedMemoryForReuse();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
