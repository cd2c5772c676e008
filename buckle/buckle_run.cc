#include "buckle/buckle_run.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>
#include <ostream>

#include "archive/atomic_file.h"
#include "archive/file_naming.h"
#include "archive/numbers.h"
#include "buckle/curve_picture.h"
#include "console/options.h"
#include "console/output_plan.h"
#include "console/value_rules.h"
#include "platform/platform.h"
#include "report/property_table.h"
#include "report/section_picture.h"
#include "section/plate_geometry.h"
#include "section/section_properties.h"
#include "strip/signature_curve.h"

namespace {

const CommandLineRules kRules{"zorvik-buckle", false};

enum class Load { Compression, M1, M2 };

struct BuckleRequest {
  int strips = 0;  // 0: the default rule
  Load load = Load::Compression;
  double sign = 1;  // -1 for -M1 and -M2
  std::string loadName = "compression";
  std::optional<std::vector<double>> lengths;
  std::string tableCsv, curveCsv, svg;
  bool picture = true;
};

struct Analysed {
  std::string path;
  std::string name;
  CrossSection section;
  SectionProperties properties;
  StripModel model;
  StressField stress;
  double capacityFactor = 0;  // A for compression, I / c for bending
  SignatureCurve curve;
};

Result takeStrips(const std::string& value, BuckleRequest& request) {
  return checkWholeFromOne(value, "a number of strips", request.strips);
}

Result takeLoad(const std::string& value, BuckleRequest& request) {
  const std::string name = value.substr(value.front() == '-' ? 1 : 0);
  request.sign = value.front() == '-' ? -1 : 1;
  if (value == "compression") {
    request.load = Load::Compression;
  } else if (name == "M1" || name == "M2") {
    request.load = name == "M1" ? Load::M1 : Load::M2;
  } else {
    return Result::failure("Not a load: " + value + ". Type compression, M1, M2, -M1 or -M2.");
  }
  request.loadName = value;
  return Result::success();
}

Result takeLengths(const std::string& value, BuckleRequest& request) {
  const Result refusal = Result::failure(
      "Not half-wavelengths: " + value +
      ". Type FIRST:LAST:COUNT, 0 < FIRST < LAST and COUNT from 3 to 10000, such as 20:20000:60.");
  const std::size_t a = value.find(':');
  if (a == std::string::npos) return refusal;
  const std::size_t b = value.find(':', a + 1);
  if (b == std::string::npos) return refusal;
  double first = 0, last = 0;
  int count = 0;
  if (const auto n = parseNumber(value.substr(0, a))) first = *n;
  if (const auto n = parseNumber(value.substr(a + 1, b - a - 1))) last = *n;
  if (const auto n = parseWholeNumber(value.substr(b + 1))) count = *n;
  if (!(first > 0) || !(last > first) || count < 3 || count > 10000 ||
      !std::isfinite(last / first)) {
    return refusal;
  }
  request.lengths = halfWavelengths(first, last, count);
  return Result::success();
}

std::vector<OptionSpec> buckleOptions(BuckleRequest& request) {
  auto into = [&request](Result (*take)(const std::string&, BuckleRequest&)) {
    return [&request, take](const std::string& value) { return take(value, request); };
  };
  return {
      {"", "--load", "LOAD",
       "compression (default): a uniform stress of 1, compression\npositive; M1, M2: bending "
       "about principal axis 1 (the\nlarger second moment) or 2, stress 1 in compression at\n"
       "the node farthest from the axis (on the side of the\npositive other axis where both "
       "sides are as far);\n-M1, -M2: the other side in compression",
       into(takeLoad)},
      {"", "--lengths", "FIRST:LAST:COUNT",
       "COUNT half-wavelengths from FIRST to LAST, evenly on a\nlog scale (default: D/10 to 100 D, "
       "60; D the larger side\nof the first section)",
       into(takeLengths)},
      {"", "--strips", "N",
       "every plate in N strips (default: plates longer than\n1/32 of the centre line in strips "
       "of at most that;\nothers one strip)",
       into(takeStrips)},
      {"", "--table-csv", "FILE", "the table as CSV into FILE (- for standard output)",
       storeText(request.tableCsv)},
      {"", "--csv", "FILE", "the curves as CSV into FILE (- for standard output)",
       storeText(request.curveCsv)},
      {"", "--svg", "NAME", "the picture's name (default: the first file's, with\n-buckle.svg)",
       storeText(request.svg)},
      {"", "--no-picture", "", "no picture", setFlag(request.picture, false)},
  };
}

std::string usageText() {
  BuckleRequest unused;
  return "Usage: zorvik-buckle [OPTIONS] FILE.kaf...\n"
         "\n"
         "The elastic buckling signature curve of each section (finite strips, simply\n"
         "supported ends, one half-wave): the lowest load factor lambda at each\n"
         "half-wavelength L, its first and second minima, one table and one picture.\n"
         "\n"
         "Options:\n" +
         optionsText(buckleOptions(unused)) + "\n" +
         exitCodesText("every file was analysed", "some were not or an output was not written",
                       "files of different units");
}

// The stress of the load: 1 uniformly, or linear in the distance from a
// principal axis, 1 in compression at the farthest node.
void setStress(Analysed& a, const BuckleRequest& request) {
  const SectionProperties& p = a.properties;
  if (request.load == Load::Compression) {
    a.stress = {1, 0, 0};
    a.capacityFactor = p.area;
    return;
  }
  const double angle = radians(p.principalAngle);
  const double c = std::cos(angle), s = std::sin(angle);
  // The distance from axis 1 is measured along axis 2, and the other way round.
  const double dy = request.load == Load::M1 ? -s : c;
  const double dz = request.load == Load::M1 ? c : s;
  double above = 0, below = 0;
  for (const StripNode& node : a.model.nodes) {
    const double d = (node.y - p.yc) * dy + (node.z - p.zc) * dz;
    above = std::max(above, d);
    below = std::max(below, -d);
  }
  const double far = std::max(above, below);
  const double side = below > above * (1 + 1e-9) ? -1 : 1;
  const double scale = request.sign * side / far;
  a.stress = {-scale * (p.yc * dy + p.zc * dz), scale * dy, scale * dz};
  a.capacityFactor = (request.load == Load::M1 ? p.I1 : p.I2) / far;
}

Result load(const std::string& path, const BuckleRequest& request, Analysed& a) {
  a.path = path;
  a.name = fileNameOf(path);
  Result r = a.section.load(path);
  if (r) r = checkMeasurable(a.section);
  if (r) r = buildStripModel(a.section, request.strips, a.model);
  if (!r) return r;
  a.properties = computeProperties(a.section);
  setStress(a, request);
  return Result::success();
}

// Shows "file k of n" on a terminal's standard error once a run has taken a second.
class ProgressLine {
 public:
  ProgressLine(std::ostream& err, std::size_t files)
      : err_(err),
        files_(files),
        shown_(platform::stderrIsTerminal()),
        start_(std::chrono::steady_clock::now()) {}
  ~ProgressLine() {
    if (written_) err_ << "\r" << std::string(60, ' ') << "\r" << std::flush;
  }
  void at(std::size_t file) { file_ = file; }
  void tick() {
    ++solves_;
    if (!shown_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - start_ < std::chrono::seconds(1) || now - last_ < std::chrono::milliseconds(200))
      return;
    last_ = now;
    written_ = true;
    err_ << "\rzorvik-buckle: file " << file_ + 1 << " of " << files_ << ", " << solves_
         << " solves" << std::flush;
  }

 private:
  std::ostream& err_;
  std::size_t files_;
  bool shown_;
  bool written_ = false;
  std::size_t file_ = 0;
  long solves_ = 0;
  std::chrono::steady_clock::time_point start_, last_;
};

struct TableRow {
  std::string label;
  std::vector<std::optional<double>> values;
};

std::vector<TableRow> tableRows(const std::vector<Analysed>& files, const BuckleRequest& request) {
  const std::string& F = files.front().section.Kraft;
  const std::string& len = files.front().section.Laenge;
  const bool bending = request.load != Load::Compression;
  std::vector<TableRow> rows;
  for (std::size_t m = 0; m < 2; ++m) {
    const std::string i = std::to_string(m + 1);
    TableRow L{"L_" + i + " [" + len + "]", {}}, lambda{"lambda_" + i + " [-]", {}},
        sigma{"sigma_" + i + " [" + F + "/" + len + "^2]", {}},
        capacity{(bending ? "M_" : "P_") + i + " [" + F + (bending ? " " + len : "") + "]", {}};
    for (const Analysed& a : files) {
      const bool has = a.curve.minima.size() > m;
      const CurveMinimum min = has ? a.curve.minima[m] : CurveMinimum{};
      L.values.push_back(has ? std::optional<double>(min.length) : std::nullopt);
      lambda.values.push_back(has ? std::optional<double>(min.lambda) : std::nullopt);
      sigma.values.push_back(has ? std::optional<double>(min.lambda) : std::nullopt);
      capacity.values.push_back(has ? std::optional<double>(min.lambda * a.capacityFactor)
                                    : std::nullopt);
    }
    rows.insert(rows.end(), {L, lambda, sigma, capacity});
  }
  TableRow last{"lambda_last [-]", {}};
  for (const Analysed& a : files) last.values.push_back(a.curve.lambdas.back());
  rows.push_back(last);
  if (files.size() < 2) return rows;
  for (std::size_t m = 0; m < 2; ++m) {
    TableRow versus{"lambda_" + std::to_string(m + 1) + " vs first [%]", {std::nullopt}};
    const SignatureCurve& first = files.front().curve;
    for (std::size_t k = 1; k < files.size(); ++k) {
      const SignatureCurve& c = files[k].curve;
      const bool both = c.minima.size() > m && first.minima.size() > m;
      versus.values.push_back(
          both ? std::optional<double>(100 * (c.minima[m].lambda / first.minima[m].lambda - 1))
               : std::nullopt);
    }
    rows.push_back(versus);
  }
  return rows;
}

std::string textTable(const std::vector<Analysed>& files, const std::vector<TableRow>& rows) {
  TextTable layout;
  for (const Analysed& a : files) {
    layout.heads.push_back(a.name);
    layout.units.push_back(a.section.Kraft + ", " + a.section.Laenge);
  }
  for (const TableRow& row : rows) {
    std::vector<std::string> cells;
    for (const auto& value : row.values) cells.push_back(value ? formatReal(*value) : "-");
    layout.rows.emplace_back(row.label, cells);
  }
  return formatTable(layout);
}

std::string tableCsv(const std::vector<Analysed>& files, const std::vector<TableRow>& rows) {
  std::string csv = "file";
  for (const TableRow& row : rows) csv += "," + csvField(row.label);
  csv += "\r\n";
  for (std::size_t k = 0; k < files.size(); ++k) {
    csv += csvField(files[k].name);
    for (const TableRow& row : rows) {
      csv += ",";
      if (row.values[k] && std::isfinite(*row.values[k])) csv += fullPrecision(*row.values[k]);
    }
    csv += "\r\n";
  }
  return csv;
}

std::string curveCsv(const std::vector<Analysed>& files, const std::vector<double>& lengths) {
  std::string csv = csvField("half-wavelength [" + files.front().section.Laenge + "]");
  for (const Analysed& a : files) csv += "," + csvField(a.name);
  csv += "\r\n";
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    csv += fullPrecision(lengths[i]);
    for (const Analysed& a : files) {
      csv += ",";
      if (std::isfinite(a.curve.lambdas[i])) csv += fullPrecision(a.curve.lambdas[i]);
    }
    csv += "\r\n";
  }
  return csv;
}

bool writeOutput(const std::string& what, const std::string& name, const std::string& bytes,
                 std::ostream& info) {
  const Result written = writeWholeFile(name, bytes);
  if (!written) {
    info << "Cannot write the " << what << " " << name << ": " << written.reason() << '\n';
    return false;
  }
  info << "Written: " << name << '\n';
  return true;
}

}  // namespace

int runBuckle(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  BuckleRequest request;
  ParsedCommandLine parsed;
  const Result read = parseCommandLine(arguments, buckleOptions(request), kRules, parsed);
  if (!read) return refuseCommandLine(err, "zorvik-buckle", read);
  if (parsed.help || parsed.version) {
    out << (parsed.help ? usageText() : versionLine("zorvik-buckle") + "\n") << std::flush;
    return 0;
  }
  const std::vector<std::string>& paths = parsed.arguments;
  if (paths.empty()) {
    return refuseCommandLine(err, "zorvik-buckle", noSectionFileGiven("zorvik-buckle"));
  }
  if (request.tableCsv == "-" && request.curveCsv == "-") {
    return refuseCommandLine(err, "zorvik-buckle",
                             Result::failure("--table-csv and --csv cannot both go to standard "
                                             "output."));
  }
  const bool csvToStdout = request.tableCsv == "-" || request.curveCsv == "-";
  std::ostream& info = csvToStdout ? err : out;

  int exitCode = 0;
  std::vector<Analysed> files;
  std::vector<std::string> refusals;
  for (const std::string& path : paths) {
    Analysed a;
    const Result loaded = load(path, request, a);
    if (!loaded) {
      refusals.push_back("Cannot use " + path + ": " + loaded.reason() + ".");
      exitCode = 1;
      continue;
    }
    files.push_back(std::move(a));
  }
  if (!files.empty()) {
    std::vector<std::string> names;
    std::vector<const CrossSection*> sections;
    for (const Analysed& a : files) {
      names.push_back(a.path);
      sections.push_back(&a.section);
    }
    const Result units =
        checkOneUnitSystem(names, sections, "analyse sections of one unit system together.");
    if (!units) return refuseCommandLine(err, "zorvik-buckle", units);
  }
  std::string pictureName;
  if (request.picture && !files.empty()) {
    pictureName = request.svg;
    if (pictureName.empty()) {
      pictureName = files.front().path;
      insertNameSuffix(pictureName, "-buckle");
      pictureName = withExtension(pictureName, ".svg");
    }
  }
  std::vector<PlannedOutput> outputs;
  if (!request.tableCsv.empty() && request.tableCsv != "-") {
    outputs.push_back({request.tableCsv, "the table", false});
  }
  if (!request.curveCsv.empty() && request.curveCsv != "-") {
    outputs.push_back({request.curveCsv, "the curves", false});
  }
  if (!pictureName.empty()) outputs.push_back({pictureName, "the picture", false});
  const Result plan = checkOutputPlan(paths, outputs);
  if (!plan) return refuseCommandLine(err, "zorvik-buckle", plan);
  for (const std::string& line : refusals) info << line << '\n';
  if (files.empty()) return exitCode;

  const std::vector<double> lengths =
      request.lengths ? *request.lengths
                      : halfWavelengths(sectionSize(files.front().section) / 10,
                                        100 * sectionSize(files.front().section), 60);
  {
    ProgressLine progress(err, files.size());
    for (std::size_t k = 0; k < files.size(); ++k) {
      progress.at(k);
      files[k].curve = signatureCurve(files[k].model, files[k].stress, lengths,
                                      [&progress] { progress.tick(); });
    }
  }
  for (const Analysed& a : files) {
    if (hasSpringsOrBearings(a.section) || hasEdgeSupports(a.section)) {
      info << "Note: " << a.name
           << " has supports, springs or bearing elements; they are not part of this analysis.\n";
    }
    const std::size_t count = a.curve.minima.size();
    if (count < 2) {
      info << a.name << ": the curve has " << (count == 0 ? "no minimum" : "one minimum") << ".\n";
    }
  }
  const std::vector<TableRow> rows = tableRows(files, request);
  if (!csvToStdout) out << "Load: " << request.loadName << "\n" << textTable(files, rows);
  if (csvToStdout) {
    platform::useBinaryStandardOutput();
    out << (request.tableCsv == "-" ? tableCsv(files, rows) : curveCsv(files, lengths))
        << std::flush;
  }
  if (!request.tableCsv.empty() && request.tableCsv != "-" &&
      !writeOutput("table", request.tableCsv, tableCsv(files, rows), info)) {
    exitCode = 1;
  }
  if (!request.curveCsv.empty() && request.curveCsv != "-" &&
      !writeOutput("curves", request.curveCsv, curveCsv(files, lengths), info)) {
    exitCode = 1;
  }
  if (!pictureName.empty()) {
    std::vector<CurveEntry> entries;
    for (const Analysed& a : files) {
      CurveEntry entry{a.name, roundingExplanation(a.section), a.curve.lambdas, {}};
      for (const CurveMinimum& m : a.curve.minima) entry.minima.emplace_back(m.length, m.lambda);
      entries.push_back(entry);
    }
    const std::string label = "lambda = sigma_cr [" + files.front().section.Kraft + "/" +
                              files.front().section.Laenge + "^2]";
    if (!writeOutput("picture", pictureName,
                     drawCurves(entries, lengths, files.front().section.Laenge, label), info)) {
      exitCode = 1;
    }
  }
  return exitCode;
}
