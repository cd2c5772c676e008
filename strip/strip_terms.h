// The physical terms of one strip, each a piece of its own: the membrane
// stiffness and the bending stiffness of the plate, and the geometric
// stiffness of its longitudinal stress (Cheung's semi-analytical finite strip
// with the general longitudinal functions of Li and Schafer 2010).
//
// In its own axes a strip of width b has at each of its two nodes the
// freedoms u (across it, in its plane), v (along the member), w (out of its
// plane) and theta. Across the strip u and v are linear and w is cubic
// (Hermite, with theta = dw/ds); along the member u, w and theta vary as
// Y_m(x), v as Y_m'(x) / k_m. The stiffness between the amplitudes of terms
// m and n is then a sum of matrices, each integrated across the strip once,
// times one of the integrals along the member (longitudinal.h) and powers of
// 1 / k_m and 1 / k_n: a term contributes its matrices to the kinds below.
#pragma once

#include <Eigen/Core>
#include <array>

#include "strip/longitudinal.h"

using StripMatrix = Eigen::Matrix<double, 8, 8>;

// What a strip matrix is multiplied by in the stiffness between terms m and n.
enum IntegralKind {
  kI1,
  kI2,
  kI3,
  kI2PerKm,
  kI3PerKn,
  kI4,
  kI4PerKmKn,
  kI5,
  kI5PerKm,
  kI5PerKn,
  kI5PerKmKn,
  kIntegralKinds
};

// The multipliers of every kind for terms m and n with wave numbers km, kn.
std::array<double, kIntegralKinds> kindMultipliers(const TermIntegrals& i, double km, double kn);

// A strip's matrices, one per kind, in its own freedoms (u, v, w, theta of
// its first node, then of its second).
struct StripPieces {
  std::array<StripMatrix, kIntegralKinds> of;
  StripPieces();
};

struct PlateMaterial {
  double E = 0.0;
  double G = 0.0;
  double MUE = 0.0;
};

// The membrane stiffness: E t / (1 - MUE^2) (eps_x^2 + eps_s^2 +
// 2 MUE eps_x eps_s) + G t gamma^2.
void addMembrane(const PlateMaterial& material, double b, double t, StripPieces& pieces);
// The bending stiffness: the plate stiffness D times the curvatures, the
// twist with G t^3 / 12.
void addBending(const PlateMaterial& material, double b, double t, StripPieces& pieces);
// The geometric stiffness of a longitudinal stress linear across the strip,
// stress1 at its first node and stress2 at its second (compression
// positive), acting on the slopes du/dx, dv/dx and dw/dx.
void addGeometric(double b, double t, double stress1, double stress2, StripPieces& pieces);

// The elastic energy between two terms' amplitudes of a strip, from their
// strains rather than from the strip's matrices: where the strains vanish
// (the strip moves as a rigid body, as in a long member's global mode) the
// matrices' large entries cancel only to rounding, the strains to rounding
// squared.
class StripStrains {
 public:
  // The strains at the 4 points across the strip, 7 at each.
  using Projection = std::array<double, 28>;

  StripStrains(double b, const StripMatrix& rotation);
  // The strains of one term's amplitudes in the section's freedoms.
  void project(const Eigen::Matrix<double, 8, 1>& sectionAmplitudes, Projection& p) const;
  // q_m^T (sum over kinds of c times the piece) q_n.
  double energy(const PlateMaterial& material, double b, double t,
                const std::array<double, kIntegralKinds>& c, const Projection& m,
                const Projection& n) const;

 private:
  StripMatrix rotation_;
  std::array<Eigen::Matrix<double, 8, 1>, 28> shapes_;
};

// From the section's freedoms of the strip's nodes (u_y, u_z, v, theta each)
// to its own (u, v, w, theta); (c, s) is the unit vector from its first node
// to its second.
StripMatrix stripRotation(double c, double s);
