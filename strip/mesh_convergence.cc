#include "strip/mesh_convergence.h"

#include <cmath>

#include "archive/numbers.h"
#include "strip/minimum_search.h"

namespace {

// The bracket of a minimum on a finer mesh is sought from the length of
// the coarser one, widening by this ratio.
const double kBracketRatio = 1.02;
const int kBracketSteps = 40;

}  // namespace

struct MeshRefinement::Level {
  int refinement = 0;
  Result built = Result::success();
  StripModel model;
  std::unique_ptr<StripSystem> system;
  std::unique_ptr<BucklingSolver> solver;
  std::unique_ptr<PureModeSolver> pure;
  Result pureReady = Result::success();
};

ValueChange changeBetween(const ConvergedValue& first, const ConvergedValue& later) {
  ValueChange c;
  const double ratio = later.lambda / first.lambda;
  c.change = 100 * (ratio - 1);
  c.uncertainty = 100 * ratio * (first.uncertainty + later.uncertainty);
  c.withinUncertainty = std::isfinite(c.uncertainty) && std::fabs(c.change) < 2 * c.uncertainty;
  return c;
}

MeshRefinement::MeshRefinement(const CrossSection& section, int strips, const StressField& stress)
    : section_(section), strips_(strips), stress_(stress) {}

MeshRefinement::~MeshRefinement() = default;

MeshRefinement::Level* MeshRefinement::level(int refinement, std::string& refusal) {
  for (const std::unique_ptr<Level>& l : levels_) {
    if (l->refinement != refinement) continue;
    if (!l->built) refusal = l->built.reason();
    return l->built ? l.get() : nullptr;
  }
  auto l = std::make_unique<Level>();
  l->refinement = refinement;
  const ModelCount count = countStrips(section_, strips_, refinement);
  if (solveBytes(count.nodes, count.strips, 1, EndConditions::SS) > kMostSolveBytes) {
    l->built = Result::refused("the mesh of " + std::to_string(refinement) +
                               " times the strips would need more than " +
                               formatReal(kMostSolveBytes / 1e9) + " GB");
  } else {
    l->built = buildStripModel(section_, strips_, l->model, refinement);
  }
  if (l->built) {
    l->system = std::make_unique<StripSystem>(l->model, stress_, EndConditions::SS);
    l->solver = std::make_unique<BucklingSolver>(*l->system);
  } else {
    refusal = l->built.reason();
  }
  levels_.push_back(std::move(l));
  return levels_.back()->built ? levels_.back().get() : nullptr;
}

bool MeshRefinement::valueAt(Level& l, unsigned pureClasses, double length, double& lambda) {
  if (pureClasses == 0) {
    const BucklingSolution s = l.solver->solve(length, {1});
    lambda = s.lambda;
    return s.converged();
  }
  if (!l.pure) {
    l.pure = std::make_unique<PureModeSolver>(l.model, stress_);
    l.pureReady = l.pure->prepare();
  }
  if (!l.pureReady) return false;
  PureMode pure;
  if (!l.pure->solve(length, pureClasses, pure)) return false;
  lambda = pure.lambda;
  return true;
}

ConvergedValue MeshRefinement::converge(const RefinedTarget& target) {
  ConvergedValue value;
  value.length = target.length;
  value.lambda = target.lambda;
  value.uncertainty = HUGE_VAL;
  double previous = target.lambda;  // the raw value of the mesh before
  for (int r = 2; r <= kMostRefinement; r *= 2) {
    std::string refusal;
    Level* l = level(r, refusal);
    if (!l) {
      value.reason = refusal;
      return value;
    }
    const LengthFunction f = [&](double length, double& lambda) {
      return valueAt(*l, target.pureClasses, length, lambda);
    };
    double raw = 0, length = value.length;
    bool found = f(length, raw);
    if (found && target.minimum) {
      const NearMinimum near = minimumNear(f, length, raw, kBracketRatio, kBracketSteps);
      found = near.found;
      length = near.minimum.length, raw = near.minimum.lambda;
    }
    if (!found) {
      value.reason = "no value on the mesh of " + std::to_string(r) + " times the strips";
      if (l->pure && !l->pureReady) value.reason += ": " + l->pureReady.reason();
      return value;
    }
    const double extrapolated = raw + (raw - previous) / 3;
    value.uncertainty = std::fabs(extrapolated - value.lambda) / extrapolated;
    value.length = length, value.lambda = extrapolated, value.refinement = r;
    previous = raw;
    if (value.uncertainty < kConvergedShare) {
      value.converged = true;
      return value;
    }
  }
  value.reason = "it still changed by " + formatReal(100 * value.uncertainty) + " % at " +
                 std::to_string(kMostRefinement) + " times the strips";
  return value;
}
