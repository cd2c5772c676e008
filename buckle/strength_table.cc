#include "buckle/strength_table.h"

#include "archive/numbers.h"
#include "strip/classical_buckling.h"
#include "strip/load_cases.h"
#include "strip/longitudinal.h"

namespace {

using Value = std::optional<double>;

// The load (P or M) of the signature curve's named mode in slot, or why
// there is none.
Value namedLoad(const Analysed& a, std::size_t slot, std::string& why) {
  if (!a.modes || a.modes->curve().points.size() < 3) {
    why = "the signature curve has fewer than three lengths";
    return std::nullopt;
  }
  if (!a.modes->hasShares()) {
    why = "no modes are named: " + a.modes->noShares();
    return std::nullopt;
  }
  const ReportedMode& m = a.modes->modes()[slot];
  if (m.found.source == ModeSource::none) {
    why = m.missing;
    return std::nullopt;
  }
  return m.value.lambda * a.load.values[1].factor;
}

// The global buckling load and how it is taken: the member's lowest global
// mode, the classical column at the effective lengths, or none (braced).
Value globalLoad(const Analysed& a, const BuckleRequest& request, SectionStrength& s,
                 std::string& why) {
  if (request.members) {
    s.global = "member " + formatReal(request.members->front()) + " " + a.section.Laenge + ", " +
               endConditionsName(request.ends);
    if (a.member.global.source == ModeSource::none) {
      why = a.member.missing;
      return std::nullopt;
    }
    return a.member.global.lambda * a.load.values[1].factor;
  }
  if (request.effective) {
    GlobalBuckling buckling;
    const Result r = classicalGlobalBuckling(a.properties, a.section.E, a.section.G,
                                             *request.effective, buckling);
    s.global = r ? "effective lengths, " + globalModeName(buckling.mode) : "effective lengths";
    if (!r) {
      why = r.reason();
      return std::nullopt;
    }
    return buckling.stress * a.properties.area;
  }
  s.global = "braced";
  return std::nullopt;
}

}  // namespace

SectionStrength sectionStrength(const Analysed& a, const BuckleRequest& request) {
  SectionStrength s;
  const double fy = *request.yieldStress;
  const bool bending = request.load.kind != LoadKind::kCompression;
  s.action = bending ? MemberAction::kBending : MemberAction::kCompression;
  if (bending) {
    const SectionModulus m = sectionModulus(a.section, a.properties, request.load.kind);
    s.extremeFibre = m.extremeFibre;
    s.loads.yield = m.modulus * fy;
  } else {
    s.loads.yield = a.properties.area * fy;
  }
  const std::string P = bending ? "M" : "P";
  std::string why;
  s.loads.local = namedLoad(a, 0, why);
  if (!s.loads.local) {
    s.missing.push_back(a.name + ": no " + P + "_nl or " + P + "_n: no local buckling value (" +
                        why + ").");
  }
  s.loads.distortional = namedLoad(a, 1, why);
  s.loads.distortionalApplies =
      !(a.modes && a.modes->hasShares() && a.modes->modes()[1].noSuchDeformation);
  if (!s.loads.distortionalApplies) {
    s.notes.push_back(a.name + ": no " + P +
                      "_nd: the section has no distortional deformation, "
                      "so distortional buckling is no limit state and " +
                      P + "_n = " + P + "_nl.");
  } else if (!s.loads.distortional) {
    s.missing.push_back(a.name + ": no " + P + "_nd or " + P +
                        "_n: no distortional buckling value (" + why + ").");
  }
  s.loads.global = globalLoad(a, request, s, why);
  s.globalMissing = !s.loads.global && s.global != "braced";
  s.strength = directStrength(s.action, s.loads);
  if (s.globalMissing) {
    // Without its global buckling load a member has no P_ne, nor what P_ne feeds.
    s.missing.push_back(a.name + ": no " + P + "_ne, " + P + "_nl or " + P +
                        "_n: no global buckling value (" + why + ").");
    DesignStrength distortionalOnly;
    distortionalOnly.distortional = s.strength.distortional;
    s.strength = distortionalOnly;
  }
  return s;
}

namespace {

// One value of every file's strength.
template <typename Pick>
std::vector<Value> columnOf(const std::vector<SectionStrength>& strengths, Pick pick) {
  std::vector<Value> values;
  for (const SectionStrength& s : strengths) values.push_back(pick(s));
  return values;
}

Value over(Value load, double yield) { return load ? Value(*load / yield) : std::nullopt; }

// P_crl/P_y, P_crd/P_y, P_cre/P_y and the text of how global buckling is taken.
void addBucklingRows(const std::vector<SectionStrength>& strengths, const std::string& P,
                     std::vector<TableRow>& rows) {
  const std::string y = "/" + P + "_y [-]";
  rows.push_back(numberRow(P + "_crl" + y, columnOf(strengths, [](const SectionStrength& s) {
                             return over(s.loads.local, s.loads.yield);
                           })));
  rows.push_back(numberRow(P + "_crd" + y, columnOf(strengths, [](const SectionStrength& s) {
                             return over(s.loads.distortional, s.loads.yield);
                           })));
  rows.push_back(numberRow(P + "_cre" + y, columnOf(strengths, [](const SectionStrength& s) {
                             return over(s.loads.global, s.loads.yield);
                           })));
  std::vector<std::string> global;
  for (const SectionStrength& s : strengths) global.push_back(s.global);
  rows.push_back(textRow("global", global));
}

// P_ne, P_nl, P_nd, P_n, what governs, phi P_n, P_n / Omega and change_P_n.
void addStrengthValueRows(const std::vector<SectionStrength>& strengths, const std::string& P,
                          const std::string& unit, std::vector<TableRow>& rows) {
  const std::string in = " [" + unit + "]";
  rows.push_back(numberRow(P + "_ne" + in, columnOf(strengths, [](const SectionStrength& s) {
                             return s.globalMissing ? Value() : Value(s.strength.globalStrength);
                           })));
  rows.push_back(numberRow(P + "_nl" + in, columnOf(strengths, [](const SectionStrength& s) {
                             return s.strength.local;
                           })));
  rows.push_back(numberRow(P + "_nd" + in, columnOf(strengths, [](const SectionStrength& s) {
                             return s.strength.distortional;
                           })));
  const std::vector<Value> nominal =
      columnOf(strengths, [](const SectionStrength& s) { return s.strength.nominal; });
  rows.push_back(numberRow(P + "_n" + in, nominal));
  std::vector<std::string> governs;
  for (const SectionStrength& s : strengths) {
    governs.push_back(s.strength.governs ? governsName(*s.strength.governs) : "-");
  }
  rows.push_back(textRow("governs", governs));
  rows.push_back(numberRow("phi" + P + "_n" + in, columnOf(strengths, [](const SectionStrength& s) {
                             return s.strength.factored;
                           })));
  rows.push_back(numberRow(P + "_n/Omega" + in, columnOf(strengths, [](const SectionStrength& s) {
                             return s.strength.allowable;
                           })));
  if (strengths.size() > 1) rows.push_back(versusRow("change_" + P + "_n [%]", nominal));
}

}  // namespace

std::vector<TableRow> strengthRows(const std::vector<Analysed>& files,
                                   const std::vector<SectionStrength>& strengths,
                                   double yieldStress) {
  const CrossSection& first = files.front().section;
  const bool bending = strengths.front().action == MemberAction::kBending;
  const std::string P = bending ? "M" : "P";
  const std::string unit = bending ? first.Kraft + " " + first.Laenge : first.Kraft;
  std::vector<TableRow> rows;
  rows.push_back(numberRow("f_y [" + first.Kraft + "/" + first.Laenge + "^2]",
                           std::vector<Value>(strengths.size(), yieldStress)));
  if (bending) {
    rows.push_back(numberRow(
        "c_f [" + first.Laenge + "]",
        columnOf(strengths, [](const SectionStrength& s) { return Value(s.extremeFibre); })));
  }
  rows.push_back(numberRow(
      P + "_y [" + unit + "]",
      columnOf(strengths, [](const SectionStrength& s) { return Value(s.loads.yield); })));
  addBucklingRows(strengths, P, rows);
  addStrengthValueRows(strengths, P, unit, rows);
  return rows;
}
