#include "buckle/buckle_run.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <new>
#include <ostream>

#include "archive/file_naming.h"
#include "archive/numbers.h"
#include "buckle/buckle_options.h"
#include "buckle/buckle_table.h"
#include "buckle/curve_picture.h"
#include "buckle/mode_output.h"
#include "buckle/mode_picture.h"
#include "buckle/strength_table.h"
#include "console/output_plan.h"
#include "console/program_shell.h"
#include "platform/platform.h"
#include "report/property_table.h"
#include "report/section_picture.h"
#include "section/material.h"
#include "section/section_check.h"
#include "strip/member_curve.h"

namespace {

const char kProgram[] = "zorvik-buckle";
const CommandLineRules kRules{kProgram, false};

// Shows "file k of n" on a terminal's standard error once a run has taken a second.
class ProgressLine {
 public:
  ProgressLine(std::ostream& err, std::size_t files)
      : err_(err),
        files_(files),
        shown_(platform::stderrIsTerminal()),
        start_(std::chrono::steady_clock::now()) {}
  ~ProgressLine() {
    if (!written_) return;
    err_ << "\r" << std::string(60, ' ') << "\r" << std::flush;
    platform::progressLineOpen(false);
  }
  void at(std::size_t file) { file_ = file; }
  void tick() {
    ++solves_;
    if (!shown_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - start_ < std::chrono::seconds(1) || now - last_ < std::chrono::milliseconds(200))
      return;
    last_ = now;
    if (!written_) platform::progressLineOpen(true);
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

// Reads a file through the data check of every program; its notes are for
// the shell, shown once the file is used.
Result readSection(const std::string& path, Analysed& a, std::vector<std::string>& notes) {
  a.path = path;
  a.name = fileNameOf(path);
  return loadSection(path, a.section, notes);
}

// The model and the stress of the load.
Result prepare(const BuckleRequest& request, Analysed& a) {
  try {
    Result r = buildStripModel(a.section, request.strips, a.model);
    if (!r) return r;
    a.properties = computeProperties(a.section);
    if (request.actions) {
      a.load = actionsStress(a.properties, *request.actions);
      return Result::success();
    }
    return loadStress(a.properties, a.model, request.load, a.load);
  } catch (const std::bad_alloc&) {
    return Result::failed("out of memory");
  }
}

// The strips that --strips makes of each file, against the memory bound.
Result checkStripsBound(const std::vector<Analysed>& files, const BuckleRequest& request) {
  const int terms = request.members ? std::max(request.terms, 1) : 1;
  for (const Analysed& a : files) {
    const ModelCount count = countStrips(a.section, request.strips);
    const double bytes = solveBytes(count.nodes, count.strips, terms, request.ends);
    if (bytes > kMostSolveBytes) {
      return Result::failure("--strips " + std::to_string(request.strips) + " makes " +
                             formatReal(count.strips) + " strips of " + a.path +
                             ", which need about " + formatReal(bytes / 1e9) +
                             " GB; the bound is " + formatReal(kMostSolveBytes / 1e9) + " GB.");
    }
  }
  return Result::success();
}

Result checkLengthsBound(const std::vector<Analysed>& files, const std::vector<double>& lengths,
                         const BuckleRequest& request) {
  const std::string option = request.members   ? "--member"
                             : request.lengths ? "--lengths"
                                               : "The default half-wavelengths";
  for (const Analysed& a : files) {
    const double D = modelSize(a.model);
    const std::string& unit = a.section.Laenge;
    if (lengths.back() > kLongestLengthPerSize * D) {
      return Result::failure(option + " reach " + formatReal(lengths.back()) + " " + unit +
                             ", beyond " + formatReal(kLongestLengthPerSize) + " D = " +
                             formatReal(kLongestLengthPerSize * D) + " " + unit + " of " + a.path +
                             ", where double precision no longer carries the strip results.");
    }
    if (lengths.front() < kShortestLengthPerSize * D) {
      return Result::failure(option + " reach " + formatReal(lengths.front()) + " " + unit +
                             ", below " + formatReal(kShortestLengthPerSize) + " D = " +
                             formatReal(kShortestLengthPerSize * D) + " " + unit + " of " + a.path +
                             ", where double precision no longer carries the strip results.");
    }
  }
  return Result::success();
}

// The signature curve's modes at these half-wavelengths, named, or
// followed from the first file's, and converged.
void analyseSignature(Analysed& a, const BuckleRequest& request, const std::vector<double>& lengths,
                      const Analysed* first, const Progress& tick) {
  a.modes = std::make_unique<SectionModes>(a.section, a.model, request.strips, a.load.stress);
  a.modes->analyse(lengths, tick);
  if (lengths.size() < 3) return;
  if (first && first->named()) {
    a.modes->followModes(*first->modes);
  } else {
    a.modes->nameModes();
  }
  a.modes->convergeModes();
}

// A member; with a strength also the signature curve, whose local and
// distortional values it takes.
void analyseMember(Analysed& a, const BuckleRequest& request, const std::vector<double>& lengths,
                   const std::vector<double>& halfWavelengths, const Analysed* first,
                   const Progress& tick) {
  a.member = memberModes(a.model, a.load.stress, request.ends, lengths, request.terms, tick);
  for (const MemberModePoint& p : a.member.points) a.curve.points.push_back(p.point);
  if (!request.yieldStress || request.actions) return;
  a.memberRun = true;
  analyseSignature(a, request, halfWavelengths, first, tick);
}

// The modes at the lengths of --modes-at, and one line per length without one.
void modesAtLengths(Analysed& a, const BuckleRequest& request) {
  if (!request.modesAt) return;
  for (double L : *request.modesAt) {
    FoundMode mode;
    const Result found = a.modes->modeAt(L, mode);
    if (found) {
      a.modesAt.push_back(mode);
    } else {
      a.modesAtFailures.push_back(a.name + ": no mode at " + formatReal(L) + " " +
                                  a.section.Laenge + ": " + found.reason() + ".");
    }
  }
}

// The lengths of a run: its member lengths or half-wavelengths, and the
// half-wavelengths of a member's signature curve.
struct RunLengths {
  std::vector<double> lengths, signature;
};

// first: the first file of the series analysed before, whose modes a later
// file's follow; nullptr for the first.
void analyse(Analysed& a, const BuckleRequest& request, const RunLengths& run,
             const Analysed* first, ProgressLine& progress) {
  const Progress tick = [&progress] { progress.tick(); };
  const std::vector<double>& lengths = run.lengths;
  if (request.members) return analyseMember(a, request, lengths, run.signature, first, tick);
  analyseSignature(a, request, lengths, first, tick);
  a.curve = a.modes->curve();
  if (lengths.size() < 3) {
    for (double L : lengths) {
      a.atPoints.emplace_back();
      if (!a.modes->modeAt(L, a.atPoints.back())) a.atPoints.back() = FoundMode();
    }
  }
  modesAtLengths(a, request);
  for (unsigned space : {unsigned(kLocal), unsigned(kDistortional), unsigned(kGlobal)}) {
    if (!(request.pure & space)) continue;
    std::string refusal;
    const std::vector<double>& values = a.modes->pureCurve(space, refusal);
    if (refusal.empty()) {
      a.pure.emplace_back(space, values);
    } else {
      a.pureRefusals[space] = refusal;
    }
  }
}

// Every value that the table prints is a finite normal number, or the reason why not.
Result checkPrintable(const Analysed& a) {
  std::vector<double> lambdas;
  for (const CurvePoint& p : a.curve.points) {
    if (p.status == SolveStatus::kOutOfMemory) return Result::failed("out of memory");
    if (p.converged()) lambdas.push_back(p.lambda);
  }
  for (const CurveMinimum& m : a.curve.minima) lambdas.push_back(m.lambda);
  if (a.modes) {
    for (const ReportedMode& m : a.modes->modes()) {
      if (m.found.source != ModeSource::none) lambdas.push_back(m.value.lambda);
    }
  }
  if (a.member.global.source != ModeSource::none) lambdas.push_back(a.member.global.lambda);
  for (double lambda : lambdas) {
    std::vector<double> values{lambda};
    for (const CriticalValue& v : a.load.values) values.push_back(lambda * v.factor);
    for (double value : values) {
      if (std::isnormal(value)) continue;
      return Result::refused(std::string("its critical values ") +
                             (std::isfinite(value) ? "vanish below" : "overflow") +
                             " the range of numbers (E = " + formatReal(a.section.E) + ")");
    }
  }
  return Result::success();
}

// One line per reason that left lengths without a value: the lengths (their
// count and range beyond six), or "any length" when none has one.
std::vector<std::string> failureLines(const Analysed& a) {
  std::vector<CurvePoint> failed;
  for (const CurvePoint& p : a.curve.points) {
    if (!p.converged()) failed.push_back(p);
  }
  failed.insert(failed.end(), a.curve.refinementFailures.begin(), a.curve.refinementFailures.end());
  std::vector<std::string> reasons;
  for (const CurvePoint& p : failed) {
    if (std::find(reasons.begin(), reasons.end(), p.reason) == reasons.end()) {
      reasons.push_back(p.reason);
    }
  }
  const std::string& unit = a.section.Laenge;
  std::vector<std::string> lines;
  for (const std::string& reason : reasons) {
    std::vector<double> lengths;
    for (const CurvePoint& p : failed) {
      if (p.reason == reason) lengths.push_back(p.length);
    }
    std::string where;
    if (lengths.size() == a.curve.points.size() && lengths.size() > 1) {
      where = "any length";
    } else if (lengths.size() > 6) {
      where = std::to_string(lengths.size()) + " lengths from " + formatReal(lengths.front()) +
              " to " + formatReal(lengths.back()) + " " + unit;
    } else {
      for (std::size_t i = 0; i < lengths.size(); ++i) {
        where += (i == 0 ? "" : i + 1 == lengths.size() ? " and " : ", ") + formatReal(lengths[i]);
      }
      where += " " + unit;
    }
    lines.push_back(a.name + ": no lambda at " + where + ": " + reason + ".");
  }
  return lines;
}

char letterOf(ModeName name) {
  switch (name) {
    case ModeName::local:
      return 'L';
    case ModeName::distortional:
      return 'D';
    case ModeName::global:
      return 'G';
    case ModeName::mixed:
      break;
  }
  return 0;
}

// The marks of a file: its named values, further minima with their
// letters and mixed ones without; the minima by order where it has no shares.
std::vector<CurveMark> marksOf(const Analysed& a) {
  std::vector<CurveMark> marks;
  if (a.memberRun) return marks;  // its named values lie on another curve
  if (!a.named()) {
    for (const CurveMinimum& m : a.curve.minima) marks.push_back({m.length, m.lambda, 0});
    return marks;
  }
  for (std::size_t slot = 0; slot < kNamedModes.size(); ++slot) {
    const ReportedMode& m = a.modes->modes()[slot];
    if (m.found.source == ModeSource::none) continue;
    marks.push_back({m.value.length, m.value.lambda, letterOf(kNamedModes[slot])});
  }
  for (const FoundMode& f : a.modes->further())
    marks.push_back({f.length, f.lambda, letterOf(f.name)});
  for (const FoundMode& f : a.modes->mixed()) marks.push_back({f.length, f.lambda, 0});
  return marks;
}

std::string titleOf(const std::vector<Analysed>& files, const BuckleRequest& request) {
  const bool member = request.members.has_value();
  return files.front().name + ": " + request.loadName + ", ends " +
         endConditionsName(member ? request.ends : EndConditions::SS);
}

std::string pictureOf(const std::vector<Analysed>& files, const std::vector<double>& lengths,
                      const BuckleRequest& request) {
  const bool member = request.members.has_value();
  std::vector<CurveEntry> entries;
  for (const Analysed& a : files) {
    CurveEntry entry{a.name, roundingExplanation(a.section), {}, marksOf(a), {}};
    for (const CurvePoint& p : a.curve.points) {
      entry.lambdas.push_back(p.converged() ? p.lambda : std::numeric_limits<double>::quiet_NaN());
    }
    for (const auto& [space, values] : a.pure) entry.pure.push_back({spaceLetter(space), values});
    entries.push_back(entry);
  }
  const CrossSection& s = files.front().section;
  const std::string lengthLabel =
      (member ? "member length a [" : "half-wavelength L [") + s.Laenge + "]";
  const std::string valueLabel = files.front().load.values.front().symbol == "sigma"
                                     ? "lambda = sigma_cr [" + s.Kraft + "/" + s.Laenge + "^2]"
                                     : "lambda [-]";
  return drawCurves({titleOf(files, request), lengthLabel, valueLabel, lengths, entries});
}

std::string modesPictureOf(const std::vector<Analysed>& files, const BuckleRequest& request) {
  return drawModes(files.front().name + ": " + request.loadName + ", buckling modes",
                   modeFiles(files));
}

}  // namespace

namespace {

// The outputs of the run: the CSVs asked for, and the picture unless none is asked.
std::vector<ProgramOutput> buckleOutputs(const BuckleRequest& request,
                                         const std::vector<Analysed>& files) {
  std::vector<ProgramOutput> outputs;
  if (!request.tableCsv.empty()) {
    outputs.push_back({"--table-csv", "table", request.tableCsv, "Table", request.tableCsv == "-"});
  }
  if (!request.curveCsv.empty()) {
    outputs.push_back({"--csv", "curves", request.curveCsv, "Curves", request.curveCsv == "-"});
  }
  const bool shapes =
      !request.members && (!request.lengths || request.lengths->size() >= 3 || request.modesAt);
  if (!request.modesCsv.empty() && shapes) {
    outputs.push_back(
        {"--modes-csv", "mode shapes", request.modesCsv, "Mode shapes", request.modesCsv == "-"});
  }
  if (request.picture && !files.empty()) {
    std::string name = request.svg;
    if (name.empty()) {
      name = files.front().path;
      insertNameSuffix(name, "-buckle");
      name = withExtension(name, ".svg");
    }
    outputs.push_back({"--svg", "picture", name, "Picture"});
    if (shapes) {
      std::string modes = request.modesSvg;
      if (modes.empty()) {
        modes = name;
        insertNameSuffix(modes, "-modes");
        modes = withExtension(modes, ".svg");
      }
      outputs.push_back({"--modes-svg", "mode picture", modes, "Mode picture"});
    }
  }
  return outputs;
}

Result checkUnits(const std::vector<Analysed>& files) {
  if (files.empty()) return Result::success();
  std::vector<std::string> names;
  std::vector<const CrossSection*> sections;
  for (const Analysed& a : files) {
    names.push_back(a.path);
    sections.push_back(&a.section);
  }
  return checkOneUnitSystem(names, sections, "analyse sections of one unit system together.");
}

// Whether two files give the strip analysis one section: the same nodes,
// plates, thicknesses, material and units (a round's -shear twin differs
// only in its type and the flags for the shear analysis).
bool sameAnalysedSection(const CrossSection& a, const CrossSection& b) {
  return a.startNode == b.startNode && a.endNode == b.endNode && a.nodeY == b.nodeY &&
         a.nodeZ == b.nodeZ && a.t_r == b.t_r && a.E == b.E && a.G == b.G && a.MUE == b.MUE &&
         a.Kraft == b.Kraft && a.Laenge == b.Laenge;
}

// Adds a to the files read unless one of them holds its section: then the
// section is analysed once, under the name of the plain section of the two
// (the first given when both or neither are), and a note names both.
void addUnlessTwin(Analysed a, std::vector<Analysed>& read, ProgramShell& shell) {
  for (Analysed& kept : read) {
    if (!sameAnalysedSection(kept.section, a.section)) continue;
    const bool takeNew =
        a.section.Typ == kPlainSectionType && kept.section.Typ != kPlainSectionType;
    const std::string first = kept.name, second = a.name;
    if (takeNew) std::swap(kept, a);
    shell.noteFile("Note: " + first + " and " + second +
                   " hold the same section; it is analysed once, as " + kept.name + ".");
    return;
  }
  read.push_back(std::move(a));
}

// Reads and prepares every file; the refused ones are named in refusals.
// A wrong command line or a bound passed gives its reason in stop.
std::vector<Analysed> readFiles(const std::vector<std::string>& paths, const BuckleRequest& request,
                                ProgramShell& shell, Result& stop) {
  std::vector<Analysed> read, files;
  for (const std::string& path : paths) {
    Analysed a;
    std::vector<std::string> notes;
    const Result r = readSection(path, a, notes);
    if (r) {
      for (const std::string& note : notes) shell.noteFile(note);
      addUnlessTwin(std::move(a), read, shell);
    } else {
      shell.refuseFile(path, r);
    }
  }
  stop = checkUnits(read);
  if (stop) stop = checkStripsBound(read, request);
  if (!stop) return {};
  for (Analysed& a : read) {
    const Result r = prepare(request, a);
    if (r) {
      files.push_back(std::move(a));
    } else {
      shell.refuseFile(a.path, r);
    }
  }
  return files;
}

RunLengths lengthsOf(const BuckleRequest& request, const Analysed& first) {
  const double D = sectionSize(first.section);
  RunLengths run;
  run.signature = halfWavelengths(D / 10, 100 * D, 60);
  run.lengths = request.members   ? *request.members
                : request.lengths ? *request.lengths
                                  : run.signature;
  return run;
}

// Analyses every file; those whose results cannot be printed are named and dropped.
std::vector<Analysed> analyseAll(std::vector<Analysed>& files, const BuckleRequest& request,
                                 const RunLengths& lengths, ProgramShell& shell,
                                 std::ostream& err) {
  std::vector<Analysed> done;
  ProgressLine progress(err, files.size());
  for (std::size_t k = 0; k < files.size(); ++k) {
    progress.at(k);
    Result r = Result::success();
    try {
      analyse(files[k], request, lengths, done.empty() ? nullptr : &done.front(), progress);
      r = checkPrintable(files[k]);
    } catch (const std::bad_alloc&) {
      r = Result::failed("out of memory");
    }
    if (r) {
      done.push_back(std::move(files[k]));
    } else {
      shell.refuseFile(files[k].path, r);
      shell.sayRefusals();
    }
    files[k] = Analysed();  // its memory back before the next
  }
  return done;
}

void writeNotes(const std::vector<Analysed>& files, const BuckleRequest& request,
                ProgramShell& shell) {
  std::ostream& info = shell.messages();
  for (const Analysed& a : files) {
    if (hasSpringsOrBearings(a.section) || hasEdgeSupports(a.section)) {
      info << "Note: " << a.name
           << " has supports, springs or bearing elements; they are not part of this analysis.\n";
    }
    for (const std::string& line : failureLines(a)) {
      info << line << '\n';
      shell.notAllDone();
    }
    const std::size_t count = a.curve.minima.size();
    if (!request.members && !a.named() && a.curve.points.size() >= 3 && count < 2) {
      info << a.name << ": the curve has " << (count == 0 ? "no minimum" : "one minimum") << ".\n";
    }
  }
}

std::string loadLine(const BuckleRequest& request) {
  std::string line = "Load: " + request.loadName;
  if (request.members) line += ", ends " + endConditionsName(request.ends);
  return line + "\n";
}

// The lines under the strength block: what is missing, or that actions
// take none (the strength asked is not all there), and notes.
struct StrengthLines {
  std::vector<std::string> missing;
  std::vector<std::string> notes;
};

// The strength block's rows of a run with --fy, and its lines.
std::vector<TableRow> strengthBlock(const std::vector<Analysed>& files,
                                    const BuckleRequest& request, StrengthLines& lines) {
  if (!request.yieldStress) return {};
  if (request.actions) {
    lines.missing.push_back(
        "No strength for --actions: the Direct Strength Method takes one action at "
        "a time, which --load gives.");
    return {};
  }
  std::vector<SectionStrength> strengths;
  for (const Analysed& a : files) {
    strengths.push_back(sectionStrength(a, request));
    const SectionStrength& last = strengths.back();
    lines.missing.insert(lines.missing.end(), last.missing.begin(), last.missing.end());
    lines.notes.insert(lines.notes.end(), last.notes.begin(), last.notes.end());
  }
  return strengthRows(files, strengths, *request.yieldStress);
}

void report(const std::vector<Analysed>& files, const BuckleRequest& request,
            const std::vector<double>& lengths, const std::vector<ProgramOutput>& outputs,
            ProgramShell& shell) {
  std::vector<TableRow> rows = tableRows(files, request);
  StrengthLines strengthLines;
  const std::vector<TableRow> strength = strengthBlock(files, request, strengthLines);
  rows.insert(rows.end(), strength.begin(), strength.end());
  const std::string lengthHead = request.members ? "member length" : "half-wavelength";
  shell.print(loadLine(request) + textTable(files, rows));
  const ModeLines lines = modeLines(files);
  for (const std::string& line : lines.lines) shell.messages() << line << '\n';
  if (lines.notAllDone) shell.notAllDone();
  for (const std::string& line : strengthLines.notes) shell.messages() << line << '\n';
  for (const std::string& line : strengthLines.missing) shell.messages() << line << '\n';
  if (!strengthLines.missing.empty()) shell.notAllDone();
  for (const ProgramOutput& output : outputs) {
    if (output.what == "table") {
      shell.write(output, tableCsv(files, rows));
    } else if (output.what == "curves") {
      shell.write(output, curveCsv(files, lengthHead));
    } else if (output.what == "mode shapes") {
      shell.write(output, modesCsv(files));
    } else if (output.what == "mode picture") {
      shell.write(output, modesPictureOf(files, request));
    } else {
      shell.write(output, pictureOf(files, lengths, request));
    }
  }
}

}  // namespace

int runBuckle(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  ProgramShell shell(kProgram, out, err);
  BuckleRequest request;
  ParsedCommandLine parsed;
  Result read = parseCommandLine(arguments, buckleOptions(request), kRules, parsed);
  if (!read) return shell.refuseRun(read);
  if (parsed.help || parsed.version) {
    shell.print(parsed.help ? buckleUsageText() : versionLine(kProgram) + "\n");
    return shell.finish();
  }
  const std::vector<std::string>& paths = parsed.arguments;
  if (paths.empty()) return shell.refuseRun(noSectionFileGiven(kProgram));
  read = checkCombination(request);
  if (read) read = shell.setOutputs(buckleOutputs(request, {}));
  if (!read) return shell.refuseRun(read);

  std::vector<Analysed> files = readFiles(paths, request, shell, read);
  RunLengths lengths;
  if (read && !files.empty()) {
    lengths = lengthsOf(request, files.front());
    read = checkLengthsBound(files, lengths.lengths, request);
  }
  if (request.yieldStress) {
    for (const Analysed& a : files) {
      const std::string note = yieldStressNote(*request.yieldStress, a.section, a.name);
      if (!note.empty()) shell.noteFile(note);
    }
  }
  const std::vector<ProgramOutput> outputs = buckleOutputs(request, files);
  if (read) read = shell.setOutputs(outputs);
  if (read) read = checkOutputPlan(paths, shell.plannedFiles());
  if (!read) return shell.refuseRun(read);
  shell.sayRefusals();
  if (!files.empty()) files = analyseAll(files, request, lengths, shell, err);
  if (!files.empty()) {
    writeNotes(files, request, shell);
    report(files, request, lengths.lengths, outputs, shell);
  }
  return shell.finish();
}
