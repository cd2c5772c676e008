#include "buckle/buckle_table.h"

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

TableRow numberRow(const std::string& label, const std::vector<Value>& values) {
  TableRow row{label, {}, {}};
  for (const Value& v : values) {
    row.cells.push_back(v ? formatReal(*v) : "-");
    row.fields.push_back(v ? fullPrecision(*v) : "");
  }
  return row;
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

// The change of each later file's lambda against the first file's, in percent.
TableRow versusRow(const std::string& label, const std::vector<Value>& lambdas) {
  std::vector<Value> change{std::nullopt};
  for (std::size_t k = 1; k < lambdas.size(); ++k) {
    change.push_back(lambdas[k] && lambdas[0] ? Value(100 * (*lambdas[k] / *lambdas[0] - 1))
                                              : std::nullopt);
  }
  return numberRow(label, change);
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

std::string termsText(const std::vector<int>& terms) {
  std::string text;
  for (int m : terms) text += (text.empty() ? "" : "+") + std::to_string(m);
  return text;
}

void addLengthRows(const std::vector<Analysed>& files, bool member, std::vector<TableRow>& rows) {
  const std::vector<CurvePoint>& points = files.front().curve.points;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const std::string at =
        " at " + formatReal(points[i].length) + " " + files.front().section.Laenge;
    std::vector<Value> lambdas;
    TableRow terms{"terms" + at, {}, {}};
    for (const Analysed& a : files) {
      const CurvePoint& p = a.curve.points[i];
      lambdas.push_back(p.converged() ? Value(p.lambda) : std::nullopt);
      terms.cells.push_back(p.converged() ? termsText(p.dominant) : "-");
      terms.fields.push_back(p.converged() ? termsText(p.dominant) : "");
    }
    addValueRows(files, at, lambdas, rows);
    if (member) rows.push_back(terms);
    if (files.size() > 1) rows.push_back(versusRow("lambda" + at + " vs first [%]", lambdas));
  }
}

}  // namespace

std::vector<TableRow> tableRows(const std::vector<Analysed>& files, const BuckleRequest& request) {
  std::vector<TableRow> rows;
  if (files.front().load.c > 0) {
    std::vector<Value> c;
    for (const Analysed& a : files) c.push_back(a.load.c);
    rows.push_back(numberRow("c [" + files.front().section.Laenge + "]", c));
  }
  const bool member = request.members.has_value();
  if (!member && files.front().curve.points.size() >= 3) {
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
  csv += "\r\n";
  const std::vector<CurvePoint>& points = files.front().curve.points;
  for (std::size_t i = 0; i < points.size(); ++i) {
    csv += fullPrecision(points[i].length);
    for (const Analysed& a : files) {
      csv += ",";
      if (a.curve.points[i].converged()) csv += fullPrecision(a.curve.points[i].lambda);
    }
    csv += "\r\n";
  }
  return csv;
}
