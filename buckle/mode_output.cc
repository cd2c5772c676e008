#include "buckle/mode_output.h"

#include <algorithm>
#include <cmath>

#include "archive/numbers.h"
#include "report/property_table.h"
#include "report/section_picture.h"

namespace {

std::string percent(double share) { return formatFixed(share, 1, 0) + " %"; }

// The shares that print above 0, largest first: "D 94.9 %, L 4.9 %".
std::string largestShares(const ModeShares& s) {
  std::vector<std::pair<double, char>> shares{
      {s.global, 'G'}, {s.distortional, 'D'}, {s.local, 'L'}, {s.other, 'O'}};
  std::stable_sort(shares.begin(), shares.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  std::string text;
  for (const auto& [share, letter] : shares) {
    if (!(share >= 0.05)) continue;
    text += (text.empty() ? "" : ", ") + std::string(1, letter) + " " + percent(share);
  }
  return text;
}

std::string minimumLine(const Analysed& a, const std::string& kind, const FoundMode& m) {
  return a.name + ": " + kind + " minimum at " + formatReal(m.length) + " " + a.section.Laenge +
         ", lambda " + formatReal(m.lambda) + " (" + largestShares(m.shares) + ").";
}

void namedModeLines(const Analysed& a, const Analysed& first, ModeLines& out) {
  for (std::size_t slot = 0; slot < a.namedSlots(); ++slot) {
    const ReportedMode& m = a.modes->modes()[slot];
    const std::string name = nameText(kNamedModes[slot]);
    if (m.found.source == ModeSource::none) {
      out.lines.push_back(a.name + ": no " + name + " value: " + m.missing + ".");
      continue;
    }
    if (!m.followed) {
      out.lines.push_back(a.name + ": no mode is like the " + name + " mode of " + first.name +
                          " (likeness " + formatFixed(m.likeness, 2, 0) + " at most); its own " +
                          name + " value is given.");
    }
    if (!m.value.converged) {
      out.lines.push_back(a.name + ": the " + name + " value did not converge to " +
                          formatReal(100 * kConvergedShare) + " %: " + m.value.reason + ".");
      out.notAllDone = true;
    }
  }
  for (const FoundMode& f : a.modes->further()) {
    out.lines.push_back(minimumLine(a, std::string("further ") + nameText(f.name), f));
  }
  for (const FoundMode& f : a.modes->mixed()) out.lines.push_back(minimumLine(a, "mixed", f));
}

void changeLines(const Analysed& a, const Analysed& first, ModeLines& out) {
  if (&a == &first || !a.named() || !first.named()) return;
  for (std::size_t slot = 0; slot < a.namedSlots(); ++slot) {
    const ReportedMode& m = a.modes->modes()[slot];
    const ReportedMode& f = first.modes->modes()[slot];
    if (m.found.source == ModeSource::none || f.found.source == ModeSource::none) continue;
    const ValueChange c = changeBetween(f.value, m.value);
    if (!c.withinUncertainty) continue;
    out.lines.push_back(a.name + ": change_" + nameText(kNamedModes[slot]) +
                        " ~0: " + formatReal(c.change) + " % is less than twice its uncertainty, " +
                        formatReal(c.uncertainty) + " %.");
  }
}

void otherLines(const Analysed& a, ModeLines& out) {
  if (a.modes && !a.modes->hasShares() && !a.memberRun) {  // a member's line follows
    out.lines.push_back(a.name + ": no shares: " + a.modes->noShares() + ".");
  }
  if (!a.member.noShares.empty()) {
    out.lines.push_back(a.name + ": no shares: " + a.member.noShares + ".");
  } else if (!a.member.points.empty() && a.member.global.source == ModeSource::none) {
    out.lines.push_back(a.name + ": no global value: " + a.member.missing + ".");
  }
  for (const auto& [space, reason] : a.pureRefusals) {
    out.lines.push_back(a.name + ": no pure " + spaceLetter(space) + " curve: " + reason + ".");
    out.notAllDone = true;
  }
  for (const std::string& line : a.modesAtFailures) {
    out.lines.push_back(line);
    out.notAllDone = true;
  }
}

// The nodes of a model along its strips: each the first time a strip meets it.
std::vector<int> nodesAlongStrips(const StripModel& model) {
  std::vector<int> order;
  std::vector<char> seen(model.nodes.size(), 0);
  for (const Strip& s : model.strips) {
    for (int node : {s.first, s.second}) {
      if (seen[static_cast<std::size_t>(node)]) continue;
      seen[static_cast<std::size_t>(node)] = 1;
      order.push_back(node);
    }
  }
  return order;
}

std::string headingOf(const std::string& what, double length, double lambda,
                      const std::string& unit) {
  return what + ", " + formatReal(length) + " " + unit + ", lambda " + formatReal(lambda);
}

}  // namespace

std::string sharesText(const ModeShares& s) {
  return "G " + percent(s.global) + ", D " + percent(s.distortional) + ", L " + percent(s.local) +
         ", O " + percent(s.other);
}

ModeLines modeLines(const std::vector<Analysed>& files) {
  ModeLines out;
  for (const Analysed& a : files) {
    otherLines(a, out);
    if (a.named()) namedModeLines(a, files.front(), out);
    changeLines(a, files.front(), out);
  }
  return out;
}

std::vector<ShownMode> shownModes(const Analysed& a) {
  std::vector<ShownMode> shown;
  if (!a.modes) return shown;
  const std::string& unit = a.section.Laenge;
  if (a.named()) {
    for (std::size_t slot = 0; slot < kNamedModes.size(); ++slot) {
      const ReportedMode& m = a.modes->modes()[slot];
      if (m.found.source == ModeSource::none || m.found.mode.size() == 0) continue;
      const std::string name = nameText(kNamedModes[slot]);
      shown.push_back({name, headingOf(name, m.value.length, m.value.lambda, unit), &m.found});
    }
  }
  for (const FoundMode& m : a.modesAt) {
    const std::string what = "at " + formatReal(m.length) + " " + unit + " (" +
                             (a.modes->hasShares() ? nameText(m.name) : "no shares") + ")";
    shown.push_back({formatReal(m.length), what + ", lambda " + formatReal(m.lambda), &m});
  }
  return shown;
}

std::string modesCsv(const std::vector<Analysed>& files) {
  std::string csv = "file,minimum,node,y,z,u_y,u_z,v,theta\r\n";
  for (const Analysed& a : files) {
    const std::vector<int> order = nodesAlongStrips(a.model);
    for (const ShownMode& shown : shownModes(a)) {
      const Eigen::VectorXd& x = shown.mode->mode;
      for (int i : order) {
        const StripNode& n = a.model.nodes[static_cast<std::size_t>(i)];
        csv += csvField(a.name) + "," + csvField(shown.label) + "," +
               (n.fileNode > 0 ? std::to_string(n.fileNode) : "") + "," + fullPrecision(n.y) + "," +
               fullPrecision(n.z);
        for (int f : {0, 1, 2, 3}) csv += "," + fullPrecision(x[4 * i + f]);
        csv += "\r\n";
      }
    }
  }
  return csv;
}

std::vector<ModeFile> modeFiles(const std::vector<Analysed>& files) {
  std::vector<ModeFile> result;
  for (const Analysed& a : files) {
    ModeFile file{a.name, roundingExplanation(a.section), {}};
    for (const ShownMode& shown : shownModes(a)) {
      ModeShape shape;
      shape.heading = shown.heading;
      if (a.modes->hasShares()) shape.shares = sharesText(shown.mode->shares);
      const Eigen::VectorXd& x = shown.mode->mode;
      for (std::size_t i = 0; i < a.model.nodes.size(); ++i) {
        const StripNode& n = a.model.nodes[i];
        const Eigen::Index at = 4 * Eigen::Index(i);
        shape.nodes.push_back({n.y, n.z, x[at], x[at + 1], x[at + 3]});
      }
      for (const Strip& s : a.model.strips) shape.strips.push_back({s.first, s.second});
      file.modes.push_back(shape);
    }
    result.push_back(file);
  }
  return result;
}
