// What zorvik-buckle reports of the analysed sections: the table for the
// console and as CSV, and the curves as CSV.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "buckle/buckle_options.h"
#include "section/cross_section.h"
#include "section/section_properties.h"
#include "strip/load_cases.h"
#include "strip/member_modes.h"
#include "strip/section_modes.h"
#include "strip/signature_curve.h"

struct Analysed {
  std::string path;
  std::string name;
  CrossSection section;
  SectionProperties properties;
  StripModel model;
  LoadStress load;
  SignatureCurve curve;                      // a member run fills only its points
  std::unique_ptr<SectionModes> modes;       // a signature curve: its modes and named values
  MemberModes member;                        // a member run: its modes
  std::vector<FoundMode> atPoints;           // fewer than three lengths: the mode at each
  std::vector<FoundMode> modesAt;            // the modes at the lengths of --modes-at
  std::vector<std::string> modesAtFailures;  // one line per length of those without a mode
  // The pure curves asked, per space (L, D, G in this order), and why a
  // space has none.
  std::vector<std::pair<unsigned, std::vector<double>>> pure;
  std::map<unsigned, std::string> pureRefusals;
  // A member run with a strength: modes holds the signature curve's, whose
  // local and distortional values the strength takes.
  bool memberRun = false;
  // Whether its named values are those of the table's layout.
  bool named() const { return modes && modes->hasShares() && modes->curve().points.size() >= 3; }
  // The named values the table shows: local and distortional beside a
  // member, all three of a signature curve.
  std::size_t namedSlots() const { return memberRun ? 2 : kNamedModes.size(); }
};

// A row of the table: its label, and per file the console's cell and the CSV's field.
struct TableRow {
  std::string label;
  std::vector<std::string> cells;
  std::vector<std::string> fields;
};

// The table of a signature curve of three lengths or more: per named mode
// (local, distortional, global) its length, lambda, critical values, shares,
// source and, for the files after the first, its change and the change's
// uncertainty (where every file is closed, the first and second minima and
// lambda at the longest length instead); else (fewer lengths, or members)
// lambda, its values, its mode's name and shares at each length, members
// with the terms that dominate each mode and their global value.
std::vector<TableRow> tableRows(const std::vector<Analysed>& files, const BuckleRequest& request);

// A row of numbers, "-" (and an empty field) where a file has none; a row
// of texts; the change of each later file's value against the first
// file's, in percent.
TableRow numberRow(const std::string& label, const std::vector<std::optional<double>>& values);
TableRow textRow(const std::string& label, const std::vector<std::string>& texts);
TableRow versusRow(const std::string& label, const std::vector<std::optional<double>>& values);

std::string textTable(const std::vector<Analysed>& files, const std::vector<TableRow>& rows);
std::string tableCsv(const std::vector<Analysed>& files, const std::vector<TableRow>& rows);
// One row per length: the length, then each file's lambda (empty where none).
std::string curveCsv(const std::vector<Analysed>& files, const std::string& lengthHead);
