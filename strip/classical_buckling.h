// The classical elastic critical stresses of a column from its section
// properties (Timoshenko and Gere, Theory of Elastic Stability, 1961, ch. 5;
// AISI S100-16, E2): flexural buckling about either principal axis,
// torsional buckling about the shear centre, and flexural-torsional
// buckling where the shear centre lies off the centroid. Each mode has its
// own effective length.
#pragma once

#include <string>

#include "platform/result.h"
#include "section/section_properties.h"

// K L for buckling about principal axis 1 (the larger second moment), about
// axis 2, and in torsion.
struct EffectiveLengths {
  double about1 = 0.0;
  double about2 = 0.0;
  double torsion = 0.0;
};

enum class GlobalMode { kFlexuralAbout1, kFlexuralAbout2, kTorsional, kFlexuralTorsional };

struct GlobalBuckling {
  double stress = 0.0;  // the critical stress, compression positive; P_cre = stress A
  GlobalMode mode = GlobalMode::kFlexuralAbout2;
};

// "flexural about axis 1", "flexural about axis 2", "torsional", "flexural-torsional".
std::string globalModeName(GlobalMode mode);

// The lowest critical stress of the three coupled equations of a column
// (deflection along each principal axis and twist about the shear centre)
// and the mode it belongs to. Refused for a section without torsion and
// warping values (a closed cell, parts not connected) and for lengths that
// are not finite and above 0.
Result classicalGlobalBuckling(const SectionProperties& properties, double E, double G,
                               const EffectiveLengths& lengths, GlobalBuckling& buckling);
