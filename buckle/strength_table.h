// The design strength block of zorvik-buckle's table: each section's
// strength by the Direct Strength Method (strip/direct_strength.h) from its
// yield load and the buckling values of the table above it, the rows that
// print it and the lines that say why a value is missing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "buckle/buckle_table.h"
#include "strip/direct_strength.h"

// The strength of one section: forces for a column, moments for a beam.
struct SectionStrength {
  MemberAction action = MemberAction::kCompression;
  double extremeFibre = 0.0;   // c_f of a beam
  MemberLoads loads;           // P_y and the buckling loads that were found
  bool globalMissing = false;  // asked (member, effective lengths) but not found
  std::string global;          // "braced", "member 1500 mm, S-S", "effective lengths, torsional"
  DesignStrength strength;
  std::vector<std::string> missing;  // one line per buckling value missing
  std::vector<std::string> notes;    // what the strength leaves out, and why
};

// The strength of a section analysed for a compression or bending load
// (not actions); request holds the yield stress.
SectionStrength sectionStrength(const Analysed& a, const BuckleRequest& request);

// The rows of the block: f_y, (c_f,) P_y, the buckling loads over P_y, how
// global buckling is taken, P_ne, P_nl, P_nd, P_n, what governs, phi P_n,
// P_n / Omega and, for the files after the first, the change of P_n.
std::vector<TableRow> strengthRows(const std::vector<Analysed>& files,
                                   const std::vector<SectionStrength>& strengths,
                                   double yieldStress);
