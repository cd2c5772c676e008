#include "strip/strip_terms.h"

#include <cstddef>
#include <functional>

namespace {

using Vector8 = Eigen::Matrix<double, 8, 1>;

// Local freedoms of a strip, node by node.
enum Local { U1, V1, W1, T1, U2, V2, W2, T2 };

// Four-point Gauss rule on [0, 1]: exact for the polynomials of degree 7
// that the integrals across a strip hold (a linear stress times a cubic
// squared).
const double kGaussPoints[4] = {0.0694318442029737, 0.3300094782075719, 0.6699905217924281,
                                0.9305681557970263};
const double kGaussWeights[4] = {0.1739274225687269, 0.3260725774312731, 0.3260725774312731,
                                 0.1739274225687269};

// The shapes whose values, dotted with a strip's amplitudes, are its strains
// at a point across it (each times a function of x along the member).
enum Strain {
  kV,    // v: eps_x is this times Y'' / k
  kUs,   // du/ds: eps_s, times Y
  kU,    // u: du/dx, times Y'
  kVs,   // dv/ds: in gamma, times Y' / k
  kW,    // w: w_xx is this times Y'', w_x this times Y'
  kWs,   // dw/ds: w_xs, times Y'
  kWss,  // d2w/ds2: w_ss, times Y
  kStrains
};
using StrainShapes = std::array<Vector8, kStrains>;

StrainShapes strainShapes(double xi, double b) {
  StrainShapes e;
  for (Vector8& v : e) v.setZero();
  e[kU][U1] = e[kV][V1] = 1 - xi;
  e[kU][U2] = e[kV][V2] = xi;
  e[kUs][U1] = e[kVs][V1] = -1 / b;
  e[kUs][U2] = e[kVs][V2] = 1 / b;
  // Hermite: w and theta = dw/ds at both nodes.
  e[kW][W1] = 1 - 3 * xi * xi + 2 * xi * xi * xi;
  e[kW][T1] = b * (xi - 2 * xi * xi + xi * xi * xi);
  e[kW][W2] = 3 * xi * xi - 2 * xi * xi * xi;
  e[kW][T2] = b * (xi * xi * xi - xi * xi);
  e[kWs][W1] = (-6 * xi + 6 * xi * xi) / b;
  e[kWs][T1] = 1 - 4 * xi + 3 * xi * xi;
  e[kWs][W2] = (6 * xi - 6 * xi * xi) / b;
  e[kWs][T2] = 3 * xi * xi - 2 * xi;
  e[kWss][W1] = (-6 + 12 * xi) / (b * b);
  e[kWss][T1] = (-4 + 6 * xi) / b;
  e[kWss][W2] = (6 - 12 * xi) / (b * b);
  e[kWss][T2] = (-2 + 6 * xi) / b;
  return e;
}

StripMatrix outer(const Vector8& a, const Vector8& b) { return a * b.transpose(); }

// Every product of two strains that an energy holds at one point across
// the strip, with its factor (the point's weight included) and the kind of
// its integral along the member: visit(kind, strain of term m, strain of
// term n, factor). Membrane: eps_x = v Y''/k, eps_s = u_s Y,
// gamma = (u + v_s / k) Y'.
template <typename Visit>
void membraneProducts(const PlateMaterial& material, double t, double weight, Visit visit) {
  const double E1 = material.E / (1 - material.MUE * material.MUE);
  const double membrane = weight * E1 * t, shear = weight * material.G * t;
  visit(kI4PerKmKn, kV, kV, membrane);
  visit(kI1, kUs, kUs, membrane);
  visit(kI2PerKm, kV, kUs, membrane * material.MUE);
  visit(kI3PerKn, kUs, kV, membrane * material.MUE);
  visit(kI5, kU, kU, shear);
  visit(kI5PerKm, kVs, kU, shear);
  visit(kI5PerKn, kU, kVs, shear);
  visit(kI5PerKmKn, kVs, kVs, shear);
}

// Bending: w_xx = w Y'', w_ss = w_ss Y, w_xs = w_s Y'; the twist with G t^3 / 12.
template <typename Visit>
void bendingProducts(const PlateMaterial& material, double t, double weight, Visit visit) {
  const double D = weight * material.E * t * t * t / (12 * (1 - material.MUE * material.MUE));
  const double Dxy = weight * material.G * t * t * t / 12;
  visit(kI4, kW, kW, D);
  visit(kI1, kWss, kWss, D);
  visit(kI2, kW, kWss, D * material.MUE);
  visit(kI3, kWss, kW, D * material.MUE);
  visit(kI5, kWs, kWs, 4 * Dxy);
}

// The pieces of one energy: the outer products of its strain shapes.
using PieceVisit = std::function<void(IntegralKind, Strain, Strain, double)>;
void addPieces(void (*products)(const PlateMaterial&, double, double, PieceVisit),
               const PlateMaterial& material, double b, double t, StripPieces& pieces) {
  for (std::size_t g = 0; g < 4; ++g) {
    const StrainShapes e = strainShapes(kGaussPoints[g], b);
    products(material, t, kGaussWeights[g] * b,
             [&](IntegralKind kind, Strain m, Strain n, double factor) {
               pieces.of[kind] += factor * outer(e[m], e[n]);
             });
  }
}

}  // namespace

std::array<double, kIntegralKinds> kindMultipliers(const TermIntegrals& i, double km, double kn) {
  std::array<double, kIntegralKinds> c{};
  c[kI1] = i.I1;
  c[kI2] = i.I2;
  c[kI3] = i.I3;
  c[kI2PerKm] = i.I2 / km;
  c[kI3PerKn] = i.I3 / kn;
  c[kI4] = i.I4;
  c[kI4PerKmKn] = i.I4 / (km * kn);
  c[kI5] = i.I5;
  c[kI5PerKm] = i.I5 / km;
  c[kI5PerKn] = i.I5 / kn;
  c[kI5PerKmKn] = i.I5 / (km * kn);
  return c;
}

StripPieces::StripPieces() {
  for (StripMatrix& m : of) m.setZero();
}

void addMembrane(const PlateMaterial& material, double b, double t, StripPieces& pieces) {
  addPieces(membraneProducts<PieceVisit>, material, b, t, pieces);
}

void addBending(const PlateMaterial& material, double b, double t, StripPieces& pieces) {
  addPieces(bendingProducts<PieceVisit>, material, b, t, pieces);
}

void addGeometric(double b, double t, double stress1, double stress2, StripPieces& pieces) {
  // u_x = u Y', v_x = v Y'' / k, w_x = w Y'.
  for (std::size_t g = 0; g < 4; ++g) {
    const double xi = kGaussPoints[g];
    const double force = kGaussWeights[g] * b * t * (stress1 * (1 - xi) + stress2 * xi);
    const StrainShapes e = strainShapes(xi, b);
    pieces.of[kI5] += force * (outer(e[kU], e[kU]) + outer(e[kW], e[kW]));
    pieces.of[kI4PerKmKn] += force * outer(e[kV], e[kV]);
  }
}

StripStrains::StripStrains(double b, const StripMatrix& rotation) : rotation_(rotation) {
  for (std::size_t g = 0; g < 4; ++g) {
    const StrainShapes e = strainShapes(kGaussPoints[g], b);
    for (int k = 0; k < kStrains; ++k) shapes_[g * kStrains + k] = e[k];
  }
}

void StripStrains::project(const Vector8& sectionAmplitudes, Projection& p) const {
  const Vector8 q = rotation_ * sectionAmplitudes;
  for (std::size_t i = 0; i < shapes_.size(); ++i) p[i] = shapes_[i].dot(q);
}

double StripStrains::energy(const PlateMaterial& material, double b, double t,
                            const std::array<double, kIntegralKinds>& c, const Projection& m,
                            const Projection& n) const {
  double sum = 0;
  for (std::size_t g = 0; g < 4; ++g) {
    const double* pm = &m[g * kStrains];
    const double* pn = &n[g * kStrains];
    const auto add = [&](IntegralKind kind, Strain a, Strain s, double factor) {
      sum += c[kind] * factor * pm[a] * pn[s];
    };
    membraneProducts(material, t, kGaussWeights[g] * b, add);
    bendingProducts(material, t, kGaussWeights[g] * b, add);
  }
  return sum;
}

StripMatrix stripRotation(double c, double s) {
  StripMatrix r = StripMatrix::Zero();
  for (int node = 0; node < 2; ++node) {
    const int o = 4 * node;
    r(o + 0, o + 0) = c;  // u along the strip
    r(o + 0, o + 1) = s;
    r(o + 1, o + 2) = 1;   // v
    r(o + 2, o + 0) = -s;  // w normal to it
    r(o + 2, o + 1) = c;
    r(o + 3, o + 3) = 1;  // theta
  }
  return r;
}
