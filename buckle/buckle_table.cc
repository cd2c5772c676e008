#include "buckle/buckle_table.h"

#include <cmath>
#include <optional>

#include "archive/numbers.h"
#include "report/property_table.h"

namespace {

using Value = std::optional<double>;

std::string unitOf(const CriticalValue& value, const CrossSection& s) {
  switch (value.dimension) {
    case CriticalValue::kStress:
      return s.Kraft + "/" + s.Laenge + "^2";
    case CriticalValue::kForce:
      return s.Kraft;
    case CriticalValue::kMoment:
      return s.Kraft + " " + s.Laenge;
  }
  return "";
}

// lambda, then each critical value (sigma, P or M, or the actions'), of
// every file at one place of the curve; suffix such as "_1" or " at 155 mm".
void addValueRows(const std::vector<Analysed>& files, const std::string& suffix,
                  const std::vector<Value>& lambdas, std::vector<TableRow>& rows) {
  rows.push_back(numberRow("lambda" + suffix + " [-]", lambdas));
  const Analysed& first = files.front();
  for (std::size_t v = 0; v < first.load.values.size(); ++v) {
    const CriticalValue& value = first.load.values[v];
    std::vector<Value> column;
    for (std::size_t k = 0; k < files.size(); ++k) {
      column.push_back(lambdas[k] ? Value(*lambdas[k] * files[k].load.values[v].factor)
                                  : std::nullopt);
    }
    rows.push_back(
        numberRow(value.symbol + suffix + " [" + unitOf(value, first.section) + "]", column));
  }
}

void addMinimumRows(const std::vector<Analysed>& files, std::vector<TableRow>& rows) {
  const std::string& len = files.front().section.Laenge;
  for (std::size_t m = 0; m < 2; ++m) {
    const std::string i = "_" + std::to_string(m + 1);
    std::vector<Value> lengths, lambdas;
    for (const Analysed& a : files) {
      const bool has = a.curve.minima.size() > m;
      lengths.push_back(has ? Value(a.curve.minima[m].length) : std::nullopt);
      lambdas.push_back(has ? Value(a.curve.minima[m].lambda) : std::nullopt);
    }
    rows.push_back(numberRow("L" + i + " [" + len + "]", lengths));
    addValueRows(files, i, lambdas, rows);
  }
  std::vector<Value> last;
  for (const Analysed& a : files) {
    const CurvePoint& p = a.curve.points.back();
    last.push_back(p.converged() ? Value(p.lambda) : std::nullopt);
  }
  rows.push_back(numberRow("lambda_last [-]", last));
  if (files.size() < 2) return;
  for (std::size_t m = 0; m < 2; ++m) {
    std::vector<Value> lambdas;
    for (const Analysed& a : files) {
      lambdas.push_back(a.curve.minima.size() > m ? Value(a.curve.minima[m].lambda) : std::nullopt);
    }
    rows.push_back(versusRow("lambda_" + std::to_string(m + 1) + " vs first [%]", lambdas));
  }
}

// The four share rows of one place: share_G_local [%] or share_G at 155 mm [%].
void addShareRows(const std::string& before, const std::string& after,
                  const std::vector<const ModeShares*>& shares, std::vector<TableRow>& rows) {
  const struct {
    const char* letter;
    double ModeShares::*share;
  } spaces[] = {{"G", &ModeShares::global},
                {"D", &ModeShares::distortional},
                {"L", &ModeShares::local},
                {"O", &ModeShares::other}};
  for (const auto& space : spaces) {
    TableRow row{before + space.letter + after + " [%]", {}, {}};
    for (const ModeShares* s : shares) {
      row.cells.push_back(s ? formatFixed(s->*space.share, 1, 0) : "-");
      row.fields.push_back(s ? fullPrecision(s->*space.share) : "");
    }
    rows.push_back(row);
  }
}

// change_X and uncertainty_X of the files after the first: the change
// against the first file's value, ~0 on the console when within twice its
// uncertainty (the CSV keeps the number).
void addChangeRows(const std::string& name, const std::vector<const ConvergedValue*>& values,
                   std::vector<TableRow>& rows) {
  TableRow change{"change_" + name + " [%]", {"-"}, {""}};
  TableRow uncertainty{"uncertainty_" + name + " [%]", {"-"}, {""}};
  for (std::size_t k = 1; k < values.size(); ++k) {
    if (!values[0] || !values[k]) {
      change.cells.push_back("-"), change.fields.push_back("");
      uncertainty.cells.push_back("-"), uncertainty.fields.push_back("");
      continue;
    }
    const ValueChange c = changeBetween(*values[0], *values[k]);
    change.cells.push_back(c.withinUncertainty ? "~0" : formatReal(c.change));
    change.fields.push_back(fullPrecision(c.change));
    const bool known = std::isfinite(c.uncertainty);
    uncertainty.cells.push_back(known ? formatReal(c.uncertainty) : "-");
    uncertainty.fields.push_back(known ? fullPrecision(c.uncertainty) : "");
  }
  rows.push_back(change);
  rows.push_back(uncertainty);
}

// The rows of the named modes of a signature curve: the first `slots` of
// local, distortional and global.
void addNamedRows(const std::vector<Analysed>& files, std::size_t slots,
                  std::vector<TableRow>& rows) {
  const std::string& len = files.front().section.Laenge;
  for (std::size_t slot = 0; slot < slots; ++slot) {
    const std::string name = nameText(kNamedModes[slot]);
    std::vector<Value> lengths, lambdas;
    std::vector<const ModeShares*> shares;
    std::vector<const ConvergedValue*> values;
    std::vector<std::string> sources;
    for (const Analysed& a : files) {
      const ReportedMode* m = a.named() ? &a.modes->modes()[slot] : nullptr;
      const bool has = m && m->found.source != ModeSource::none;
      lengths.push_back(has ? Value(m->value.length) : std::nullopt);
      lambdas.push_back(has ? Value(m->value.lambda) : std::nullopt);
      shares.push_back(has ? &m->found.shares : nullptr);
      values.push_back(has ? &m->value : nullptr);
      sources.push_back(has ? sourceText(m->found.source) : "-");
    }
    rows.push_back(numberRow("length_" + name + " [" + len + "]", lengths));
    addValueRows(files, "_" + name, lambdas, rows);
    addShareRows("share_", "_" + name, shares, rows);
    rows.push_back(textRow("source_" + name, sources));
    if (files.size() > 1) addChangeRows(name, values, rows);
  }
}

// A member run's global value: the lowest global mode among the lengths, or
// the pure global problem of the longest member.
void addMemberGlobalRows(const std::vector<Analysed>& files, std::vector<TableRow>& rows) {
  std::vector<Value> lengths, lambdas;
  std::vector<const ModeShares*> shares;
  std::vector<std::string> sources;
  for (const Analysed& a : files) {
    const FoundMode& g = a.member.global;
    const bool has = g.source != ModeSource::none;
    lengths.push_back(has ? Value(g.length) : std::nullopt);
    lambdas.push_back(has ? Value(g.lambda) : std::nullopt);
    shares.push_back(has ? &g.shares : nullptr);
    sources.push_back(sourceText(g.source));
  }
  rows.push_back(numberRow("length_global [" + files.front().section.Laenge + "]", lengths));
  addValueRows(files, "_global", lambdas, rows);
  addShareRows("share_", "_global", shares, rows);
  rows.push_back(textRow("source_global", sources));
  if (files.size() > 1) rows.push_back(versusRow("change_global [%]", lambdas));
}

std::string termsText(const std::vector<int>& terms) {
  std::string text;
  for (int m : terms) text += (text.empty() ? "" : "+") + std::to_string(m);
  return text;
}

// The mode at length i of a file: its shares, or none.
const ModeShares* sharesAtPoint(const Analysed& a, std::size_t i, bool member, std::string& name) {
  name = "-";
  if (member) {
    if (i >= a.member.points.size() || !a.member.points[i].hasShares) return nullptr;
    name = nameText(a.member.points[i].name);
    return &a.member.points[i].shares;
  }
  if (i >= a.atPoints.size() || a.atPoints[i].mode.size() == 0 || !a.modes->hasShares()) {
    return nullptr;
  }
  name = nameText(a.atPoints[i].name);
  return &a.atPoints[i].shares;
}

void addLengthRows(const std::vector<Analysed>& files, bool member, std::vector<TableRow>& rows) {
  const std::vector<CurvePoint>& points = files.front().curve.points;
  bool anyShares = false;
  for (const Analysed& a : files) {
    anyShares = anyShares || (member ? a.member.noShares.empty() : a.modes->hasShares());
  }
  for (std::size_t i = 0; i < points.size(); ++i) {
    const std::string at =
        " at " + formatReal(points[i].length) + " " + files.front().section.Laenge;
    std::vector<Value> lambdas;
    TableRow terms{"terms" + at, {}, {}};
    std::vector<std::string> names;
    std::vector<const ModeShares*> shares;
    for (const Analysed& a : files) {
      const CurvePoint& p = a.curve.points[i];
      lambdas.push_back(p.converged() ? Value(p.lambda) : std::nullopt);
      terms.cells.push_back(p.converged() ? termsText(p.dominant) : "-");
      terms.fields.push_back(p.converged() ? termsText(p.dominant) : "");
      names.emplace_back();
      shares.push_back(sharesAtPoint(a, i, member, names.back()));
    }
    addValueRows(files, at, lambdas, rows);
    if (member) rows.push_back(terms);
    if (anyShares) {
      rows.push_back(textRow("mode" + at, names));
      addShareRows("share_", at, shares, rows);
    }
    if (files.size() > 1) rows.push_back(versusRow("lambda" + at + " vs first [%]", lambdas));
  }
}

}  // namespace

TableRow numberRow(const std::string& label, const std::vector<Value>& values) {
  TableRow row{label, {}, {}};
  for (const Value& v : values) {
    row.cells.push_back(v ? formatReal(*v) : "-");
    row.fields.push_back(v ? fullPrecision(*v) : "");
  }
  return row;
}

TableRow versusRow(const std::string& label, const std::vector<Value>& lambdas) {
  std::vector<Value> change{std::nullopt};
  for (std::size_t k = 1; k < lambdas.size(); ++k) {
    change.push_back(lambdas[k] && lambdas[0] ? Value(100 * (*lambdas[k] / *lambdas[0] - 1))
                                              : std::nullopt);
  }
  return numberRow(label, change);
}

TableRow textRow(const std::string& label, const std::vector<std::string>& texts) {
  TableRow row{label, texts, texts};
  return row;
}

std::vector<TableRow> tableRows(const std::vector<Analysed>& files, const BuckleRequest& request) {
  std::vector<TableRow> rows;
  if (files.front().load.c > 0) {
    std::vector<Value> c;
    for (const Analysed& a : files) c.push_back(a.load.c);
    rows.push_back(numberRow("c [" + files.front().section.Laenge + "]", c));
  }
  const bool member = request.members.has_value();
  bool named = false;
  for (const Analysed& a : files) named = named || a.named();
  if (member) {
    // The signature curve's local and distortional values of a strength first.
    if (named) addNamedRows(files, files.front().namedSlots(), rows);
    addLengthRows(files, member, rows);
    addMemberGlobalRows(files, rows);
  } else if (named) {
    addNamedRows(files, kNamedModes.size(), rows);
  } else if (files.front().curve.points.size() >= 3) {
    addMinimumRows(files, rows);
  } else {
    addLengthRows(files, member, rows);
  }
  return rows;
}

std::string textTable(const std::vector<Analysed>& files, const std::vector<TableRow>& rows) {
  TextTable layout;
  for (const Analysed& a : files) {
    layout.heads.push_back(a.name);
    layout.units.push_back(a.section.Kraft + ", " + a.section.Laenge);
  }
  for (const TableRow& row : rows) layout.rows.emplace_back(row.label, row.cells);
  return formatTable(layout);
}

std::string tableCsv(const std::vector<Analysed>& files, const std::vector<TableRow>& rows) {
  std::string csv = "file";
  for (const TableRow& row : rows) csv += "," + csvField(row.label);
  csv += "\r\n";
  for (std::size_t k = 0; k < files.size(); ++k) {
    csv += csvField(files[k].name);
    for (const TableRow& row : rows) csv += "," + csvField(row.fields[k]);
    csv += "\r\n";
  }
  return csv;
}

std::string curveCsv(const std::vector<Analysed>& files, const std::string& lengthHead) {
  std::string csv = csvField(lengthHead + " [" + files.front().section.Laenge + "]");
  for (const Analysed& a : files) csv += "," + csvField(a.name);
  for (const Analysed& a : files) {
    for (const auto& curve : a.pure) {
      csv += "," + csvField(a.name + " pure " + spaceLetter(curve.first));
    }
  }
  csv += "\r\n";
  const std::vector<CurvePoint>& points = files.front().curve.points;
  for (std::size_t i = 0; i < points.size(); ++i) {
    csv += fullPrecision(points[i].length);
    for (const Analysed& a : files) {
      csv += ",";
      if (a.curve.points[i].converged()) csv += fullPrecision(a.curve.points[i].lambda);
    }
    for (const Analysed& a : files) {
      for (const auto& curve : a.pure) {
        csv += ",";
        if (!std::isnan(curve.second[i])) csv += fullPrecision(curve.second[i]);
      }
    }
    csv += "\r\n";
  }
  return csv;
}
