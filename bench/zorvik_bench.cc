// Benchmarks of every stage from load to save on lipped channels subdivided
// to 10^3 ... 10^6 plates, beside the two floors they are measured against:
// formatting the same numbers with std::to_chars into one buffer written with
// one call, and parsing them with std::from_chars from a buffer read whole.
#include <benchmark/benchmark.h>

#include <Eigen/Dense>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "buckle/buckle_run.h"
#include "platform/platform.h"
#include "rounding/corner_rounding.h"
#include "rounding/generation.h"
#include "rounding/thickness.h"
#include "section/cross_section.h"
#include "section/plate_geometry.h"
#include "strip/fold_structure.h"
#include "strip/member_curve.h"
#include "strip/modal_spaces.h"
#include "strip/pure_modes.h"
#include "strip/section_modes.h"
#include "strip/signature_curve.h"
#include "zorvik/batch_run.h"
#include "zorvik/zorvik_options.h"

namespace {

const std::string& scratchDirectory() {
  static const std::string directory = [] {
    const auto path = std::filesystem::temp_directory_path() / "zorvik-bench";
    std::filesystem::create_directories(path);
    return path.string();
  }();
  return directory;
}

// A lipped channel 200 x 75 x 20 whose five plates are split into `plates` in
// all: the first and the last piece of each plate a quarter of it, its
// middle half in the other pieces, so that a radius of a bend (kRadius)
// fits every corner at every size and its arc plates are wide enough for a
// file's six digits. Five plates are the channel itself.
CrossSection lippedChannel(int plates) {
  const double widths[] = {20, 75, 200, 75, 20};
  const double angles[] = {90, 0, -90, -180, -270};
  const int pieces = plates / 5;
  CrossSection section;
  for (int k = 0; k < 5; ++k) {
    const double w = widths[k];
    std::vector<double> split(static_cast<std::size_t>(pieces), w / pieces);
    if (pieces > 2) {
      split.assign(static_cast<std::size_t>(pieces), w / 2 / (pieces - 2));
      split.front() = split.back() = w / 4;
    }
    for (double piece : split) {
      section.b_r.push_back(piece);
      section.alpha_r.push_back(angles[k]);
    }
  }
  rebuildFromPlates(section);
  if (!setThickness(section, 2)) std::abort();
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

// A radius whose tangent length fits the pieces beside every corner (a
// quarter of the lips, 5), so that every corner is rounded.
const double kRadius = 2;

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

// Chain check, rounding of the 4 corners with 4 arc plates each, rebuild and thickness.
void BM_Round(benchmark::State& state) {
  const int plates = static_cast<int>(state.range(0));
  CrossSection loaded;
  if (!loaded.load(sectionFile(plates))) std::abort();
  for (auto _ : state) {
    state.PauseTiming();
    CrossSection section = loaded;
    state.ResumeTiming();
    const RoundingReport report =
        roundCorners(section, kRadius, 4, true, std::vector<int>(std::size_t(section.ns), 1));
    if (!report.accepted || !report.misfitCorners.empty()) std::abort();
    benchmark::DoNotOptimize(setThickness(section, 2).ok());
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
  for (auto _ : state) {
    if (!generateRound(file, settings, kRadius, 1).complete()) std::abort();
  }
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

// A catalogue of 100 lipped channels (depths 100 to 298, flanges 50 to 89),
// written once per process, and the request of a batch over all of them.
const std::vector<std::string>& catalogue() {
  static const std::vector<std::string> files = [] {
    std::vector<std::string> names;
    const std::string folder = scratchDirectory() + "/catalogue";
    std::filesystem::create_directories(folder);
    for (int i = 0; i < 100; ++i) {
      CrossSection section;
      const double depth = 100 + 2 * i;
      const double flange = 50 + (i * 37) % 40;
      section.b_r = {20, flange, depth, flange, 20};
      section.alpha_r = {90, 0, -90, 180, 90};
      rebuildFromPlates(section);
      if (!setThickness(section, 2)) std::abort();
      names.push_back(folder + "/lipped-" + std::to_string(i) + ".kaf");
      if (!section.save(names.back())) std::abort();
    }
    return names;
  }();
  return files;
}

BatchRequest catalogueRequest() {
  BatchRequest request;
  request.files = catalogue();
  request.series = BatchRequest::Series{1, 10, 10};
  request.quiet = true;
  request.outputFolder = scratchDirectory() + "/catalogue-out";
  std::filesystem::create_directories(request.outputFolder);
  return request;
}

// The run without the dialogue over the catalogue: 100 sections x 10 radii,
// 2,000 files, in one process.
void BM_CatalogueBatch(benchmark::State& state) {
  const BatchRequest request = catalogueRequest();
  std::ostringstream out;
  for (auto _ : state) {
    out.str("");
    if (runBatch(request, out, out) != 0) std::abort();
  }
  state.counters["files"] = 2000;
}

// Its floor: the same 2,000 files' bytes, each written with one call.
void BM_CatalogueWriteFloor(benchmark::State& state) {
  const BatchRequest request = catalogueRequest();
  std::ostringstream out;
  if (runBatch(request, out, out) != 0) std::abort();
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& entry : std::filesystem::directory_iterator(request.outputFolder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    files.emplace_back(entry.path().string() + ".floor",
                       std::string(std::istreambuf_iterator<char>(in), {}));
  }
  for (auto _ : state) {
    for (const auto& [name, bytes] : files) {
      std::FILE* file = std::fopen(name.c_str(), "wb");
      std::fwrite(bytes.data(), 1, bytes.size(), file);
      std::fclose(file);
    }
  }
  for (const auto& file : files) std::filesystem::remove(file.first);
  state.counters["files"] = static_cast<double>(files.size());
}

void sizes(benchmark::internal::Benchmark* b) {
  for (int plates : {1000, 10000, 100000, 1000000}) b->Arg(plates);
  b->Unit(benchmark::kMillisecond);
}

}  // namespace

// The example lipped channel rounded with R = 4 and 4 arc plates per
// corner.
CrossSection roundedLippedSection() {
  CrossSection section = lippedChannel(5);
  if (!roundCorners(section, 4, 4, true, std::vector<int>(5, 1)).misfitCorners.empty())
    std::abort();
  if (!setThickness(section, 2)) std::abort();
  section.E = 210;
  section.G = 80.7692;
  return section;
}

// Its model with the default strips (50 nodes).
StripModel roundedLippedChannel() {
  StripModel model;
  if (!buildStripModel(roundedLippedSection(), 0, model)) std::abort();
  return model;
}

// Its signature curve, 60 lengths from 20 to 20,000 with both minima refined,
// from the model as a run computes it (the goal: under 8 ms).
void BM_SignatureCurve(benchmark::State& state) {
  const StripModel model = roundedLippedChannel();
  const std::vector<double> lengths = halfWavelengths(20, 20000, 60);
  int solves = 0;
  for (auto _ : state) {
    const StripSystem system(model, StressField{1, 0, 0}, EndConditions::SS);
    BucklingSolver solver(system);
    solves = 0;
    benchmark::DoNotOptimize(signatureCurve(solver, lengths, true, [&solves] { ++solves; }));
  }
  state.counters["nodes"] = static_cast<double>(model.nodes.size());
  state.counters["solves"] = solves;
}

// The sharp example lipped channel (36 nodes), its 60 lengths from 20 to
// 20,000 without the minima: the job that a pure-Python finite strip
// program is timed on beside it.
void BM_SignatureSixtyLengthsSharp(benchmark::State& state) {
  CrossSection section = lippedChannel(5);
  section.E = 210;
  section.G = 80.7692;
  StripModel model;
  if (!buildStripModel(section, 0, model)) std::abort();
  const StripSystem system(model, StressField{1, 0, 0}, EndConditions::SS);
  const std::vector<double> lengths = halfWavelengths(20, 20000, 60);
  for (auto _ : state) {
    BucklingSolver solver(system);
    benchmark::DoNotOptimize(signatureCurve(solver, lengths, false));
  }
  state.counters["nodes"] = static_cast<double>(model.nodes.size());
}

// One S-S length from the model, as a member of one term: the yardstick of
// the clamped member below.
void BM_OneSimpleLength(benchmark::State& state) {
  const StripModel model = roundedLippedChannel();
  for (auto _ : state) {
    MemberSolver solver(model, StressField{1, 0, 0}, EndConditions::SS);
    if (!solver.solve(700, 1).solution.converged()) std::abort();
  }
}

// A C-C member of 1,500 with terms 1 ... 10 at one length, from the model
// (the goal: under 10 times one S-S length).
void BM_ClampedMemberTenTerms(benchmark::State& state) {
  const StripModel model = roundedLippedChannel();
  for (auto _ : state) {
    MemberSolver solver(model, StressField{1, 0, 0}, EndConditions::CC);
    if (!solver.solve(1500, 10).solution.converged()) std::abort();
  }
}

// The same two with the solver at a neighbouring length before: the cost
// of one more length of a curve.
void BM_NextSimpleLength(benchmark::State& state) {
  const StripModel model = roundedLippedChannel();
  MemberSolver solver(model, StressField{1, 0, 0}, EndConditions::SS);
  double a = 700;
  for (auto _ : state) {
    a = a == 700 ? 720 : 700;
    if (!solver.solve(a, 1).solution.converged()) std::abort();
  }
}

void BM_NextClampedMemberTenTerms(benchmark::State& state) {
  const StripModel model = roundedLippedChannel();
  MemberSolver solver(model, StressField{1, 0, 0}, EndConditions::CC);
  double a = 1500;
  for (auto _ : state) {
    a = a == 1500 ? 1540 : 1500;
    if (!solver.solve(a, 10).solution.converged()) std::abort();
  }
}

// A zigzag chain of n nodes, one strip per plate, 10 lengths from 20 to
// 2,000. Its 1,000 or 10,000 like plates make clusters of modes within a
// hair of the lowest, which take the more Lanczos steps the more plates:
// the counters give the steps and the time per step, which should grow
// linearly with n (the goal: 10,000 nodes under 15 times 1,000 per step).
void BM_ChainLoadFactors(benchmark::State& state) {
  const int nodes = static_cast<int>(state.range(0));
  StripModel model;
  model.E = 210000;
  model.G = 80769;
  model.MUE = 0.3;
  for (int i = 0; i < nodes; ++i) model.nodes.push_back({10.0 * i, i % 2 == 0 ? 0.0 : 10.0, i + 1});
  for (int i = 0; i + 1 < nodes; ++i) model.strips.push_back({i, i + 1, 1.0, i});
  const StripSystem system(model, StressField{1, 0, 0}, EndConditions::SS);
  const std::vector<double> lengths = halfWavelengths(20, 2000, 10);
  int steps = 0;
  for (auto _ : state) {
    BucklingSolver solver(system);
    steps = 0;
    for (double L : lengths) {
      const BucklingSolution s = solver.solve(L, {1});
      if (!s.converged()) std::abort();
      steps += s.lanczosSteps;
    }
  }
  state.counters["steps"] = steps;
  state.counters["per step"] =
      benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

// The lowest buckling mode in compression at L, by a dense solve, in the
// model's units.
Eigen::VectorXd lowestMode(const StripModel& model, double L) {
  const StripSystem system(model, StressField{1, 0, 0}, EndConditions::SS);
  Eigen::SparseMatrix<double> K, Kg;
  system.assemble(L, {1}, K, Kg);
  const Eigen::MatrixXd k = K, kg = Kg;
  Eigen::GeneralizedSelfAdjointEigenSolver<Eigen::MatrixXd> solver(kg, k);
  Eigen::Index top = 0;
  solver.eigenvalues().maxCoeff(&top);
  Eigen::VectorXd mode = solver.eigenvectors().col(top);
  for (Eigen::Index i = 0; i < mode.size(); ++i) {
    if (i % 4 != 3) mode[i] *= system.lengthScale();
  }
  return mode;
}

// The modal spaces and the shares of the mode at one length (the
// distortional minimum, near 600) of the rounded lipped channel, built
// directly from their definitions, from the folds on.
void BM_ModalSpacesDirect(benchmark::State& state) {
  const StripModel model = roundedLippedChannel();
  const double L = 600;
  const Eigen::VectorXd mode = lowestMode(model, L);
  for (auto _ : state) {
    FoldStructure folds;
    if (!findFolds(model, folds)) std::abort();
    ModalSpaces spaces;
    if (!buildModalSpaces(model, folds, {kPi / L}, workNorm(model, L), spaces)) std::abort();
    benchmark::DoNotOptimize(modeShares(spaces, mode));
  }
  state.counters["nodes"] = static_cast<double>(model.nodes.size());
}

// The work done once per section and mesh: folds, work norm, the spaces in
// coordinates where warping is divided by the wavenumber.
void BM_ModalSpacesPrepare(benchmark::State& state) {
  const StripModel model = roundedLippedChannel();
  for (auto _ : state) {
    ModalSpaceBuilder builder;
    if (!builder.prepare(model)) std::abort();
    benchmark::DoNotOptimize(builder.nodeCount());
  }
}

// What each length adds: the spaces at its wavenumber and the mode's
// shares (the goal: well under 1 ms).
void BM_ModalSpacesAtLength(benchmark::State& state) {
  const StripModel model = roundedLippedChannel();
  const double L = 600;
  const Eigen::VectorXd mode = lowestMode(model, L);
  ModalSpaceBuilder builder;
  if (!builder.prepare(model)) std::abort();
  for (auto _ : state) {
    ModalSpaces spaces;
    if (!builder.spacesAt({kPi / L}, spaces)) std::abort();
    benchmark::DoNotOptimize(modeShares(spaces, mode));
  }
}

// The pure distortional curve of the rounded lipped channel at 60 lengths,
// the spaces prepared once.
void BM_PureDistortionalCurve(benchmark::State& state) {
  const StripModel model = roundedLippedChannel();
  const std::vector<double> lengths = halfWavelengths(20, 20000, 60);
  const StripSystem system(model, StressField{1, 0, 0}, EndConditions::SS);
  for (auto _ : state) {
    ModalSpaceBuilder builder;
    if (!builder.prepare(system.scaled())) std::abort();
    for (double L : lengths) {
      PureMode pure;
      if (!pureModeAt(builder, system, L, kDistortional, pure)) std::abort();
      benchmark::DoNotOptimize(pure.lambda);
    }
  }
}

// The curve of BM_SignatureCurve with what the table needs of its modes:
// the modal spaces, the shares of the mode at each minimum and at the
// longest length, and their names (the goal: at most 30 % above the curve
// alone). Every named value must be found.
void BM_CurveWithModes(benchmark::State& state) {
  const CrossSection section = roundedLippedSection();
  const StripModel model = roundedLippedChannel();
  const std::vector<double> lengths = halfWavelengths(20, 20000, 60);
  for (auto _ : state) {
    SectionModes modes(section, model, 0, StressField{1, 0, 0});
    modes.analyse(lengths);
    modes.nameModes();
    for (const ReportedMode& m : modes.modes()) {
      if (m.found.source == ModeSource::none) std::abort();
    }
    benchmark::DoNotOptimize(modes.modes().front().found.shares);
  }
}

// The same with the named values converged in the mesh, the table of one
// file (the goal: under 50 ms). Every value must converge.
void BM_ConvergedMinima(benchmark::State& state) {
  const CrossSection section = roundedLippedSection();
  const StripModel model = roundedLippedChannel();
  const std::vector<double> lengths = halfWavelengths(20, 20000, 60);
  int finest = 0;
  for (auto _ : state) {
    SectionModes modes(section, model, 0, StressField{1, 0, 0});
    modes.analyse(lengths);
    modes.nameModes();
    modes.convergeModes();
    for (const ReportedMode& m : modes.modes()) {
      if (!m.value.converged) std::abort();
      finest = std::max(finest, m.value.refinement);
    }
  }
  state.counters["finest mesh"] = finest;
}

// The example lipped channel and its rounded versions R = 1 ... 9 (the
// program's default arc plates), written once per process by zorvik.
std::vector<std::string> seriesOfTen() {
  static const std::vector<std::string> files = [] {
    const std::string folder = scratchDirectory() + "/series";
    std::filesystem::create_directories(folder);
    const std::string sharp = folder + "/lipped_channel.kaf";
    std::filesystem::copy_file(std::string(ZORVIK_EXAMPLES) + "/lipped_channel.kaf", sharp,
                               std::filesystem::copy_options::overwrite_existing);
    std::ostringstream out;
    if (runCommandLine({"-q", "--radii", "1:9:9", sharp}, out, out) != 0) std::abort();
    std::vector<std::string> names{sharp};
    for (int k = 1; k <= 9; ++k) {
      names.push_back(folder + "/lipped_channel-rr" + std::to_string(k) + ".kaf");
    }
    return names;
  }();
  return files;
}

// zorvik-buckle over the series of ten with everything: the named values
// converged and followed through the series, the pure L, D and G curves, the
// table, curves and mode shapes as CSV, both pictures (the goal: under 1 s).
void BM_SeriesOfTen(benchmark::State& state) {
  const std::string folder = scratchDirectory() + "/series";
  std::vector<std::string> arguments = {"--pure",      "L,D,G",
                                        "--table-csv", folder + "/table.csv",
                                        "--csv",       folder + "/curves.csv",
                                        "--modes-csv", folder + "/modes.csv",
                                        "--svg",       folder + "/series.svg"};
  for (const std::string& file : seriesOfTen()) arguments.push_back(file);
  std::ostringstream out;
  for (auto _ : state) {
    out.str("");
    if (runBuckle(arguments, out, out) != 0) std::abort();
  }
  state.counters["files"] = 10;
}

BENCHMARK(BM_Load)->Apply(sizes);
BENCHMARK(BM_ParseFloor)->Apply(sizes);
BENCHMARK(BM_Save)->Apply(sizes);
BENCHMARK(BM_FormatFloor)->Apply(sizes);
BENCHMARK(BM_Round)->Apply(sizes);
BENCHMARK(BM_GenerationRound)->Apply(sizes);
BENCHMARK(BM_CatalogueBatch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CatalogueWriteFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SignatureCurve)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SignatureSixtyLengthsSharp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneSimpleLength)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClampedMemberTenTerms)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NextSimpleLength)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NextClampedMemberTenTerms)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ModalSpacesDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModalSpacesPrepare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModalSpacesAtLength)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PureDistortionalCurve)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurveWithModes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvergedMinima)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeriesOfTen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChainLoadFactors)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The program's own memory setting, so that the stages are measured as it runs them.
int main(int argc, char** argv) {
  platform::keepFreedMemoryForReuse();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
