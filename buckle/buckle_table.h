// What zorvik-buckle reports of the analysed sections: the table for the
// console and as CSV, and the curves as CSV.
#pragma once

#include <string>
#include <vector>

#include "buckle/buckle_options.h"
#include "section/cross_section.h"
#include "section/section_properties.h"
#include "strip/load_cases.h"
#include "strip/signature_curve.h"

struct Analysed {
  std::string path;
  std::string name;
  CrossSection section;
  SectionProperties properties;
  StripModel model;
  LoadStress load;
  SignatureCurve curve;  // a member run fills only its points
};

// A row of the table: its label, and per file the console's cell and the CSV's field.
struct TableRow {
  std::string label;
  std::vector<std::string> cells;
  std::vector<std::string> fields;
};

// The table of a signature curve of three lengths or more: its first and
// second minima, lambda at the longest length and the changes against the
// first file; else (fewer lengths, or members) lambda and its values at
// each length, for members with the terms that dominate each mode.
std::vector<TableRow> tableRows(const std::vector<Analysed>& files, const BuckleRequest& request);

std::string textTable(const std::vector<Analysed>& files, const std::vector<TableRow>& rows);
std::string tableCsv(const std::vector<Analysed>& files, const std::vector<TableRow>& rows);
// One row per length: the length, then each file's lambda (empty where none).
std::string curveCsv(const std::vector<Analysed>& files, const std::string& lengthHead);
