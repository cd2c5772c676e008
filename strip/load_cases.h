// The loads of a buckling analysis and the stresses they put on a section:
// compression, bending about a principal axis (M1, M2) or, as restrained
// bending, about the file's own y or z axis (My, Mz), either way round; or
// given actions together. With each, the values that lambda turns into: the
// critical stress, force or moment.
//
// The sign of a bending case: the stress is 1 in compression at the
// centre-line node farthest from the axis; where the nodes on both sides are
// as far (within 1e-9), the side of the positive coordinate along the other
// axis (axis 2 for M1, axis 1 for M2, z for My, y for Mz) is compressed; a
// leading "-" compresses the other side. Restrained bending takes the
// stress as if the product of inertia were 0: M z / I_y for My, M y / I_z
// for Mz, about the centroid.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/result.h"
#include "section/section_properties.h"
#include "strip/stress_field.h"
#include "strip/strip_model.h"

enum class LoadKind { kCompression, kM1, kM2, kMy, kMz };

struct LoadCase {
  LoadKind kind = LoadKind::kCompression;
  bool reversed = false;  // "-M1": the other side compressed
};

// "compression", "M1", "-M1", "M2", "-M2", "My", "-My", "Mz", "-Mz".
std::optional<LoadCase> parseLoadCase(const std::string& text);
std::string loadCaseName(const LoadCase& load);

// Actions in the file's force and length units, applied together: N in
// compression positive; a positive moment compresses the side of the
// positive coordinate along axis 2 (M1), axis 1 (M2), z (My) or y (Mz).
struct Actions {
  double N = 0.0;
  double M1 = 0.0;
  double M2 = 0.0;
  double My = 0.0;
  double Mz = 0.0;
};

// A value printed from lambda: lambda times factor.
struct CriticalValue {
  enum Dimension { kStress, kForce, kMoment };
  std::string symbol;  // "sigma", "P", "M", "N", "M1", "M2", "My", "Mz"
  Dimension dimension = kStress;
  double factor = 1.0;
};

struct LoadStress {
  StressField stress;
  // A bending case: the distance of the farthest centre-line node from the
  // axis, so that M_cr = lambda I / c; 0 for the others.
  double c = 0.0;
  std::vector<CriticalValue> values;
};

// The stress of a load case on a section with these properties and strip
// model: compression 1 everywhere (values sigma and P = lambda A), or
// bending 1 at the farthest node (values sigma and M = lambda I / c).
// Refused when the centre line lies on the axis of the bending (a flat
// plate bent about its weak axis): no node is stressed.
Result loadStress(const SectionProperties& properties, const StripModel& model,
                  const LoadCase& load, LoadStress& result);

// The elastic section modulus of a bending case for its first yield: S =
// I / c_f, I the second moment about the load's axis (through the
// centroid) and c_f the largest distance from that axis to an extreme fibre
// of the plates: the ends of each plate's centre line offset by half its
// thickness along the plate's normal, both ways, on either side of the axis.
struct SectionModulus {
  double extremeFibre = 0.0;  // c_f
  double modulus = 0.0;       // S
};
// kind: a bending case (not compression).
SectionModulus sectionModulus(const CrossSection& section, const SectionProperties& properties,
                              LoadKind kind);

// The stress of the actions together: N / A plus each moment over its
// second moment times the distance from its axis. Values: each action that
// is not 0, its critical value lambda times the action.
LoadStress actionsStress(const SectionProperties& properties, const Actions& actions);
