#include "strip/mode_identity.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Four-point Gauss rule on [0, 1].
const std::array<double, 4> kPoints = {0.0694318442029737, 0.3300094782075719, 0.6699905217924281,
                                       0.9305681557970263};
const std::array<double, 4> kWeights = {0.1739274225687269, 0.3260725774312731, 0.3260725774312731,
                                        0.1739274225687269};

// The displacement (u_y, u_z, v) of term `term` at the share x of a strip's
// width: linear in the plane along the strip and along the member, cubic
// (Hermite) out of the strip's plane.
Eigen::Vector3d displacementAt(const StripModel& model, const Eigen::VectorXd& mode, int term,
                               const Strip& strip, double x) {
  const int n = int(model.nodes.size());
  const StripNode& a = model.nodes[static_cast<std::size_t>(strip.first)];
  const StripNode& b = model.nodes[static_cast<std::size_t>(strip.second)];
  const double width = std::hypot(b.y - a.y, b.z - a.z);
  const double c = (b.y - a.y) / width, s = (b.z - a.z) / width;
  auto dof = [&](int node, int f) { return mode[4 * (term * n + node) + f]; };
  const double u1 = c * dof(strip.first, 0) + s * dof(strip.first, 1);
  const double u2 = c * dof(strip.second, 0) + s * dof(strip.second, 1);
  const double w1 = -s * dof(strip.first, 0) + c * dof(strip.first, 1);
  const double w2 = -s * dof(strip.second, 0) + c * dof(strip.second, 1);
  const double u = (1 - x) * u1 + x * u2;
  const double w = (1 - 3 * x * x + 2 * x * x * x) * w1 +
                   width * (x - 2 * x * x + x * x * x) * dof(strip.first, 3) +
                   (3 * x * x - 2 * x * x * x) * w2 +
                   width * (x * x * x - x * x) * dof(strip.second, 3);
  const double v = (1 - x) * dof(strip.first, 2) + x * dof(strip.second, 2);
  return {c * u - s * w, s * u + c * w, v};
}

// The strip of the model nearest to (y, z) and the share of its width
// where the point's foot lies.
std::pair<std::size_t, double> nearestPoint(const StripModel& model, double y, double z) {
  std::pair<std::size_t, double> best{0, 0.0};
  double closest = HUGE_VAL;
  for (std::size_t k = 0; k < model.strips.size(); ++k) {
    const StripNode& a = model.nodes[static_cast<std::size_t>(model.strips[k].first)];
    const StripNode& b = model.nodes[static_cast<std::size_t>(model.strips[k].second)];
    const double dy = b.y - a.y, dz = b.z - a.z;
    const double x = std::clamp(((y - a.y) * dy + (z - a.z) * dz) / (dy * dy + dz * dz), 0.0, 1.0);
    const double distance = std::hypot(a.y + x * dy - y, a.z + x * dz - z);
    if (distance < closest) closest = distance, best = {k, x};
  }
  return best;
}

// The correlation of b's field with a's, sampled along a's centre line.
double correlationAlong(const StripModel& a, const Eigen::VectorXd& modeA, const StripModel& b,
                        const Eigen::VectorXd& modeB) {
  const int terms = int(modeA.size()) / (4 * int(a.nodes.size()));
  double ab = 0, aa = 0, bb = 0;
  for (int term = 0; term < terms; ++term) {
    for (const Strip& strip : a.strips) {
      const StripNode& p = a.nodes[static_cast<std::size_t>(strip.first)];
      const StripNode& q = a.nodes[static_cast<std::size_t>(strip.second)];
      const double width = std::hypot(q.y - p.y, q.z - p.z);
      for (std::size_t g = 0; g < kPoints.size(); ++g) {
        const double x = kPoints[g];
        const auto foot = nearestPoint(b, p.y + x * (q.y - p.y), p.z + x * (q.z - p.z));
        const Eigen::Vector3d da = displacementAt(a, modeA, term, strip, x);
        const Eigen::Vector3d db =
            displacementAt(b, modeB, term, b.strips[foot.first], foot.second);
        const double weight = kWeights[g] * width * strip.t;
        ab += weight * da.dot(db), aa += weight * da.squaredNorm(), bb += weight * db.squaredNorm();
      }
    }
  }
  if (!(aa > 0 && bb > 0)) return 0.0;
  return std::fabs(ab) / std::sqrt(aa * bb);
}

}  // namespace

ModeClass largestShare(const ModeShares& s) {
  ModeClass largest = kGlobal;
  double value = s.global;
  if (s.distortional > value) largest = kDistortional, value = s.distortional;
  if (s.local > value) largest = kLocal, value = s.local;
  if (s.other > value) largest = kOther;
  return largest;
}

ModeName nameOf(const ModeShares& s) {
  const ModeClass largest = largestShare(s);
  if (largest == kOther || std::max({s.global, s.distortional, s.local}) <= 50) {
    return ModeName::mixed;
  }
  if (largest == kLocal) return ModeName::local;
  return largest == kDistortional ? ModeName::distortional : ModeName::global;
}

const char* nameText(ModeName name) {
  switch (name) {
    case ModeName::local:
      return "local";
    case ModeName::distortional:
      return "distortional";
    case ModeName::global:
      return "global";
    case ModeName::mixed:
      break;
  }
  return "mixed";
}

double deformationLikeness(const StripModel& a, const Eigen::VectorXd& modeA, const StripModel& b,
                           const Eigen::VectorXd& modeB) {
  if (a.strips.empty() || b.strips.empty()) return 0.0;
  const int terms = int(modeA.size()) / (4 * int(a.nodes.size()));
  if (modeA.size() != 4 * int(a.nodes.size()) * terms ||
      modeB.size() != 4 * int(b.nodes.size()) * terms) {
    return 0.0;
  }
  return std::min(correlationAlong(a, modeA, b, modeB), correlationAlong(b, modeB, a, modeA));
}

bool sameMode(const ModeShares& a, const ModeShares& b, double likeness) {
  return largestShare(a) == largestShare(b) && likeness >= kAlikeDeformation;
}
