// The Direct Strength Method (AISI S100-16, chapters E and F, which are
// Appendix 1 of the 2004 to 2012 editions; Schafer, "Review: The Direct
// Strength Method of cold-formed steel member design", J. Constr. Steel Res.
// 64, 2008): the nominal strength of a column or a beam from its yield load
// and its elastic global, local and distortional buckling loads, without the
// inelastic reserve.
//
// The published limits of the slenderness (0.776, 0.561, 0.673, 1.5) and of
// M_cre / M_y (0.56, 2.78) are the points where the two branches of each
// curve meet, rounded to three digits. The limits here are those points
// themselves, so that the strength is continuous; between a rounded and an
// exact limit the two differ by less than 2e-4 of the yield load.
#pragma once

#include <optional>
#include <string>

enum class MemberAction { kCompression, kBending };

// Loads of one kind: forces for a column (P_y, P_cre, P_crl, P_crd), moments
// for a beam (M_y, M_cre, ...), in one unit and above 0.
struct MemberLoads {
  double yield = 0.0;
  std::optional<double> global;  // none: braced against global buckling
  std::optional<double> local;
  std::optional<double> distortional;
  // False for a section that has no distortional deformation at all (no
  // edge-stiffened element: a plain channel or zed): distortional buckling
  // is then no limit state, and P_n = P_nl.
  bool distortionalApplies = true;
};

enum class Governs { kLocalGlobal, kDistortional, kGlobal, kYield };

// "local-global", "distortional", "global", "yield".
std::string governsName(Governs governs);

struct DesignStrength {
  double globalStrength = 0.0;         // P_ne (M_ne); the yield load when braced
  std::optional<double> local;         // P_nl: none without a local buckling load
  std::optional<double> distortional;  // P_nd: none without a distortional one
  std::optional<double> nominal;       // P_n = min(P_nl, P_nd): none when either is
  std::optional<Governs> governs;
  std::optional<double> factored;   // phi P_n (LRFD)
  std::optional<double> allowable;  // P_n / Omega (ASD)
};

// The three curves, each on its own.
double globalStrength(MemberAction action, double yield, std::optional<double> globalBuckling);
double localStrength(double globalStrength, double localBuckling);
double distortionalStrength(MemberAction action, double yield, double distortionalBuckling);

DesignStrength directStrength(MemberAction action, const MemberLoads& loads);

// The resistance factor phi (LRFD) and the safety factor Omega (ASD).
double resistanceFactor(MemberAction action);
double safetyFactor(MemberAction action);

// The exact meeting points of the branches, for the tests and the README:
// the slenderness limits of the local, the distortional (column and beam)
// and the global column curve, and the limits of M_cre / M_y.
struct StrengthLimits {
  double local;
  double distortionalColumn;
  double distortionalBeam;
  double globalColumn;
  double globalBeamLow;
  double globalBeamHigh;
};
const StrengthLimits& strengthLimits();
