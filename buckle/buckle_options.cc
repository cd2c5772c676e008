#include "buckle/buckle_options.h"

#include <algorithm>
#include <cmath>

#include "archive/numbers.h"
#include "console/value_rules.h"
#include "strip/buckling_solver.h"
#include "strip/modal_spaces.h"
#include "strip/signature_curve.h"

namespace {

const int kMostLengths = 10000;
const int kMostTerms = 1000;
// A count of strips: a whole number from 1 up; how far up, the memory bound
// of the model decides once the files are read.
Result takeStrips(const std::string& value, BuckleRequest& request) {
  const Result taken = checkWholeFromOne(value, "a number of strips", request.strips);
  const bool digitsOnly =
      !value.empty() && value.find_first_not_of("0123456789") == std::string::npos;
  if (!taken && digitsOnly && value.find_first_not_of('0') != std::string::npos) {
    return Result::refused("Not a number of strips: " + value +
                           ". Type a whole number from 1 up whose model fits in " +
                           formatReal(kMostSolveBytes / 1e9) + " GB of memory.");
  }
  return taken;
}

Result takeLoad(const std::string& value, BuckleRequest& request) {
  const std::optional<LoadCase> load = parseLoadCase(value);
  if (!load) {
    return Result::failure("Not a load: " + value +
                           ". Type compression, M1, M2, My, Mz, -M1, -M2, -My or -Mz.");
  }
  request.load = *load;
  request.loadName = value;
  request.loadGiven = true;
  return Result::success();
}

// "N=100,M1=2e4": each of N, M1, M2, My, Mz at most once, a number each, one not 0.
Result takeActions(const std::string& value, BuckleRequest& request) {
  const Result refusal = Result::failure(
      "Not actions: " + value +
      ". Type NAME=VALUE pairs joined by commas, NAME one of N, M1, M2, My, Mz (at least one not "
      "0), such as N=100,M1=2e4.");
  Actions actions;
  const std::pair<const char*, double*> names[] = {{"N", &actions.N},
                                                   {"M1", &actions.M1},
                                                   {"M2", &actions.M2},
                                                   {"My", &actions.My},
                                                   {"Mz", &actions.Mz}};
  std::vector<std::string> seen;
  bool any = false;
  std::size_t at = 0;
  while (at <= value.size()) {
    const std::size_t comma = std::min(value.find(',', at), value.size());
    const std::string pair = value.substr(at, comma - at);
    const std::size_t equals = pair.find('=');
    const std::string name = pair.substr(0, equals);
    double* target = nullptr;
    for (const auto& [n, t] : names) {
      if (name == n) target = t;
    }
    if (equals == std::string::npos || !target ||
        std::find(seen.begin(), seen.end(), name) != seen.end()) {
      return refusal;
    }
    const std::optional<double> number = parseNumber(pair.substr(equals + 1));
    if (!number) return refusal;
    seen.push_back(name);
    *target = number.value();
    any = any || *target != 0.0;
    at = comma + 1;
  }
  if (!any) return refusal;
  request.actions = actions;
  request.loadName = value;
  return Result::success();
}

// A length above 0, a list in increasing order, or FIRST:LAST:COUNT.
std::optional<std::vector<double>> parseLengths(const std::string& value) {
  std::vector<double> lengths;
  if (value.find(':') != std::string::npos) {
    const std::size_t a = value.find(':'), b = value.find(':', a + 1);
    if (b == std::string::npos) return std::nullopt;
    const std::optional<double> first = parseNumber(value.substr(0, a));
    const std::optional<double> last = parseNumber(value.substr(a + 1, b - a - 1));
    const std::optional<int> count = parseWholeNumber(value.substr(b + 1));
    if (!first || !last || !count || !(*first > 0) || !(*last > *first) || *count < 3 ||
        *count > kMostLengths || !std::isfinite(*last / *first)) {
      return std::nullopt;
    }
    return halfWavelengths(*first, *last, *count);
  }
  std::size_t at = 0;
  while (at <= value.size()) {
    const std::size_t comma = std::min(value.find(',', at), value.size());
    const std::optional<double> length = parseNumber(value.substr(at, comma - at));
    if (!length || !(*length > 0) || !std::isfinite(*length) ||
        (!lengths.empty() && !(*length > lengths.back())) ||
        static_cast<int>(lengths.size()) >= kMostLengths) {
      return std::nullopt;
    }
    lengths.push_back(*length);
    at = comma + 1;
  }
  return lengths;
}

std::string lengthsAdvice() {
  return ". Type a length above 0 (155), lengths in increasing order (100,155,700) or "
         "FIRST:LAST:COUNT, 0 < FIRST < LAST and COUNT from 3 to 10000 (20:20000:60).";
}

Result takeLengths(const std::string& value, BuckleRequest& request) {
  request.lengths = parseLengths(value);
  if (!request.lengths) return Result::failure("Not half-wavelengths: " + value + lengthsAdvice());
  return Result::success();
}

Result takeMembers(const std::string& value, BuckleRequest& request) {
  request.members = parseLengths(value);
  if (!request.members) return Result::failure("Not member lengths: " + value + lengthsAdvice());
  return Result::success();
}

Result takeEnds(const std::string& value, BuckleRequest& request) {
  const std::optional<EndConditions> ends = parseEndConditions(value);
  if (!ends) {
    return Result::failure("Not end conditions: " + value + ". Type S-S, C-C, S-C, C-F or C-G.");
  }
  request.ends = *ends;
  request.endsGiven = true;
  return Result::success();
}

Result takeTerms(const std::string& value, BuckleRequest& request) {
  const std::optional<int> n = parseWholeNumber(value);
  if (!n || *n < 1 || *n > kMostTerms) {
    return Result::failure("Not a number of terms: " + value + ". Type a whole number from 1 to " +
                           std::to_string(kMostTerms) + ".");
  }
  request.terms = *n;
  return Result::success();
}

Result takeModesAt(const std::string& value, BuckleRequest& request) {
  request.modesAt = parseLengths(value);
  if (!request.modesAt) return Result::failure("Not half-wavelengths: " + value + lengthsAdvice());
  return Result::success();
}

// "L,D,G": each of L, D and G at most once.
Result takePure(const std::string& value, BuckleRequest& request) {
  const Result refusal = Result::failure("Not pure modes: " + value +
                                         ". Type L, D or G, or some joined by commas (D,G).");
  request.pure = 0;
  std::size_t at = 0;
  while (at <= value.size()) {
    const std::size_t comma = std::min(value.find(',', at), value.size());
    const std::string name = value.substr(at, comma - at);
    unsigned flag = 0;
    if (name == "L") flag = kLocal;
    if (name == "D") flag = kDistortional;
    if (name == "G") flag = kGlobal;
    if (flag == 0 || (request.pure & flag)) return refusal;
    request.pure |= flag;
    at = comma + 1;
  }
  return Result::success();
}

Result takeYieldStress(const std::string& value, BuckleRequest& request) {
  request.yieldStress = parsePositive(value);
  if (!request.yieldStress) {
    return Result::failure("Not a yield stress: " + value +
                           ". Type a number above 0 in the files' force per length squared, such "
                           "as 0.345 (345 N/mm^2 in kN and mm).");
  }
  return Result::success();
}

// "KxLx:KyLy:KtLt": three lengths above 0.
Result takeEffective(const std::string& value, BuckleRequest& request) {
  const std::size_t a = value.find(':'), b = value.find(':', a + 1);
  std::optional<double> lengths[3];
  if (a != std::string::npos && b != std::string::npos) {
    lengths[0] = parsePositive(value.substr(0, a));
    lengths[1] = parsePositive(value.substr(a + 1, b - a - 1));
    lengths[2] = parsePositive(value.substr(b + 1));
  }
  if (!lengths[0] || !lengths[1] || !lengths[2]) {
    return Result::failure("Not effective lengths: " + value +
                           ". Type KxLx:KyLy:KtLt, three lengths above 0 (buckling about axis 1, "
                           "about axis 2, in torsion), such as 1500:1500:1500.");
  }
  request.effective = EffectiveLengths{*lengths[0], *lengths[1], *lengths[2]};
  return Result::success();
}

// The design strength's options that cannot go together, or need another.
Result checkStrengthCombination(const BuckleRequest& r) {
  if (r.effective && !r.yieldStress) {
    return Result::failure(
        "--effective needs --fy: its lengths give the global buckling load of "
        "the strength.");
  }
  if (r.effective && r.members) {
    return Result::failure(
        "--effective and --member cannot go together: each gives the global "
        "buckling load.");
  }
  if (r.effective && (r.actions || r.load.kind != LoadKind::kCompression)) {
    return Result::failure(
        "--effective gives a column's global buckling: it needs the load "
        "compression.");
  }
  if (r.yieldStress && r.members && r.members->size() > 1) {
    return Result::failure("--fy takes one member length: the strength is that of one member.");
  }
  return Result::success();
}

}  // namespace

std::vector<OptionSpec> buckleOptions(BuckleRequest& request) {
  auto into = [&request](Result (*take)(const std::string&, BuckleRequest&)) {
    return [&request, take](const std::string& value) { return take(value, request); };
  };
  return {
      {"", "--load", "LOAD",
       "compression (default): a uniform stress of 1,\n"
       "compression positive; M1, M2: bending about\n"
       "principal axis 1 (the larger second moment) or 2;\n"
       "My, Mz: restrained bending about the file's y or z\n"
       "axis (stress M z / I_y, M y / I_z); each with\n"
       "stress 1 in compression at the node farthest from\n"
       "the axis (on the side of the positive other axis\n"
       "where both sides are as far); -M1, -M2, -My, -Mz:\n"
       "the other side in compression",
       into(takeLoad)},
      {"", "--actions", "LIST",
       "actions together instead of a load, such as\n"
       "N=100,M1=2e4: N (compression positive), M1, M2, My,\n"
       "Mz, a positive moment compressing the side of the\n"
       "positive axis 2, axis 1, z or y; lambda is the\n"
       "factor on all of them",
       into(takeActions)},
      {"", "--lengths", "LENGTHS",
       "half-wavelengths: FIRST:LAST:COUNT (COUNT from\n"
       "FIRST to LAST, evenly on a log scale), one length\n"
       "or a list (100,155,700; minima from three lengths\n"
       "on) (default: D/10 to 100 D, 60; D the larger side\n"
       "of the first section)",
       into(takeLengths)},
      {"", "--member", "LENGTHS",
       "member lengths instead of half-wavelengths, written\n"
       "as for --lengths; each buckles with the ends of\n--ends",
       into(takeMembers)},
      {"", "--ends", "ENDS",
       "the supports of a member at its two ends: S-S\n"
       "(default), C-C, S-C, C-F or C-G (S simply\n"
       "supported, C clamped, F free, G guided)",
       into(takeEnds)},
      {"", "--terms", "M",
       "the longitudinal terms 1 ... M of a member\n"
       "(default: until one more changes lambda by less\nthan 0.1 %)",
       into(takeTerms)},
      {"", "--strips", "N",
       "every flat plate in N strips, the curve's mesh\n"
       "(default: plates longer than 1/32 of the centre\n"
       "line in strips of at most that; others one strip);\n"
       "the arc plates of a rounded corner keep the default\n"
       "whatever N; the minima in the table are refined\n"
       "from this mesh",
       into(takeStrips)},
      {"", "--table-csv", "FILE", "the table as CSV into FILE (- for standard output)",
       storeFileName(request.tableCsv, "--table-csv", true)},
      {"", "--csv", "FILE", "the curves as CSV into FILE (- for standard output)",
       storeFileName(request.curveCsv, "--csv", true)},
      {"", "--svg", "NAME", "the picture's name (default: the first file's, with\n-buckle.svg)",
       storeFileName(request.svg, "--svg", false)},
      {"", "--modes-at", "LENGTHS",
       "the mode shapes also at these half-wavelengths,\nwritten as for --lengths",
       into(takeModesAt)},
      {"", "--modes-csv", "FILE", "the mode shapes as CSV into FILE (- for standard\noutput)",
       storeFileName(request.modesCsv, "--modes-csv", true)},
      {"", "--modes-svg", "NAME",
       "the mode-shape picture's name (default: the\npicture's, with -modes.svg)",
       storeFileName(request.modesSvg, "--modes-svg", false)},
      {"", "--pure", "L,D,G",
       "the pure curves of these modes (the problem held\nto the local, distortional or global "
       "space) into\nthe curves' CSV and the picture",
       into(takePure)},
      {"", "--no-picture", "", "neither picture", setFlag(request.picture, false)},
      {"", "--fy", "F",
       "the yield stress in the files' force per length\n"
       "squared (0.345 for 345 N/mm^2 in kN and mm): the\n"
       "design strength by the Direct Strength Method\n"
       "(AISI S100-16, chapters E and F) under the table;\n"
       "with --member one length, its global buckling",
       into(takeYieldStress)},
      {"", "--effective", "KxLx:KyLy:KtLt",
       "with --fy, a column's global buckling by the\n"
       "classical flexural, torsional and\n"
       "flexural-torsional formulas at these effective\n"
       "lengths (about axis 1, about axis 2, in torsion)\n"
       "(default without --member: braced, P_ne = P_y)",
       into(takeEffective)},
  };
}

Result checkCombination(const BuckleRequest& r) {
  if (r.lengths && r.members) {
    return Result::failure(
        "--lengths (half-wavelengths) and --member (member lengths) cannot go "
        "together.");
  }
  if (r.loadGiven && r.actions) return Result::failure("--load and --actions cannot go together.");
  if (r.endsGiven && !r.members) {
    return Result::failure("--ends needs --member: end conditions hold for a member of a length.");
  }
  if (r.terms > 0 && !r.members) {
    return Result::failure("--terms needs --member: a half-wavelength has one term.");
  }
  const bool shapes = r.modesAt || !r.modesCsv.empty() || !r.modesSvg.empty() || r.pure;
  if (r.members && shapes) {
    return Result::failure(
        "--modes-at, --modes-csv, --modes-svg and --pure need half-wavelengths: a member's mode "
        "changes along it.");
  }
  if (!r.modesSvg.empty() && !r.picture) {
    return Result::failure("--modes-svg and --no-picture cannot go together.");
  }
  const bool minima = !r.lengths || r.lengths->size() >= 3;
  if (!minima && !r.modesAt && (!r.modesCsv.empty() || !r.modesSvg.empty())) {
    return Result::failure(
        "--modes-csv and --modes-svg need minima (three lengths or more) or --modes-at.");
  }
  return checkStrengthCombination(r);
}

std::string buckleUsageText() {
  BuckleRequest unused;
  return "Usage: zorvik-buckle [OPTIONS] FILE.kaf...\n"
         "\n"
         "The elastic buckling of each section by finite strips: the signature curve\n"
         "(simply supported ends, one half-wave; the lowest load factor lambda at each\n"
         "half-wavelength L) with its local, distortional and global values, each\n"
         "mode named by its shares of the deformation spaces G, D, L and O of the\n"
         "constrained finite strip method and followed from the first file to the\n"
         "others by its shape; or members of given lengths with their end conditions.\n"
         "The table's minima are converged: the flat plates' strips are doubled and\n"
         "each value extrapolated as lambda_2r + (lambda_2r - lambda_r) / 3 until it\n"
         "changes by less than 0.02 %. One table, the curve picture and the\n"
         "mode-shape picture.\n"
         "\n"
         "Options:\n" +
         optionsText(buckleOptions(unused)) +
         "\n"
         "Exit code: 0 when every file was analysed, 1 when some were not, a length\n"
         "gave no value, a value did not converge, a strength asked with --fy has no\n"
         "value (a buckling value is missing, or --actions, as the method takes one\n"
         "action at a time) or an output was not written, 2 for a wrong command line,\n"
         "files of different units, or lengths or strips beyond the bounds.\n";
}
