#include "strip/section_modes.h"

#include <cmath>
#include <limits>

SectionModes::SectionModes(const CrossSection& section, const StripModel& model, int strips,
                           const StressField& stress)
    : section_(section),
      model_(model),
      stress_(stress),
      system_(model_, stress_, EndConditions::SS),
      solver_(system_),
      refinement_(section_, strips, stress) {}

void SectionModes::sharesInto(FoundMode& mode) const {
  if (!hasShares() || mode.mode.size() == 0) return;
  if (classifier_.sharesOf(mode.mode, {1}, mode.length, mode.shares)) {
    mode.name = nameOf(mode.shares);
  }
}

void SectionModes::analyse(const std::vector<double>& lengths, const Progress& progress) {
  lengths_ = lengths;
  curve_ = signatureCurve(solver_, lengths, lengths.size() >= 3, progress);
  const Result prepared = classifier_.prepare(system_);
  if (!prepared) noShares_ = prepared.reason();
  candidates_.clear();
  for (const CurveMinimum& m : curve_.minima) {
    FoundMode found;
    found.source = ModeSource::minimum;
    found.length = m.length;
    found.lambda = m.lambda;
    found.mode = m.solution.mode;
    sharesInto(found);
    candidates_.push_back(found);
  }
  const BucklingSolution& last = curve_.last;
  if (lengths.size() < 3 || !last.converged()) return;
  FoundMode found;
  found.source = ModeSource::longestLength;
  found.length = lengths.back();
  found.lambda = last.lambda;
  found.mode = last.mode;
  sharesInto(found);
  candidates_.push_back(found);
}

PureModeSolver& SectionModes::pureSolver() {
  if (!pure_) pure_ = std::make_unique<PureModeSolver>(model_, stress_, classifier_.spaces());
  return *pure_;
}

const std::vector<double>& SectionModes::pureCurve(unsigned classes, std::string& refusal) {
  auto found = pureCurves_.find(classes);
  if (found == pureCurves_.end()) {
    std::vector<double> values;
    std::string reason = noShares_;
    bool any = false;
    for (double L : lengths_) {
      PureMode pure;
      const Result solved =
          hasShares() ? pureSolver().solve(L, classes, pure) : Result::refused(noShares_);
      values.push_back(solved ? pure.lambda : std::numeric_limits<double>::quiet_NaN());
      any = any || solved.ok();
      if (!solved && reason.empty()) reason = solved.reason();
    }
    if (any) reason.clear();
    found = pureCurves_.emplace(classes, values).first;
    pureRefusals_[classes] = reason;
  }
  refusal = pureRefusals_[classes];
  return found->second;
}

bool SectionModes::pureAt(unsigned classes, double length, FoundMode& mode, std::string& missing) {
  PureMode pure;
  const Result solved =
      hasShares() ? pureSolver().solve(length, classes, pure) : Result::refused(noShares_);
  if (!solved) {
    missing = solved.reason();
    return false;
  }
  mode = FoundMode();
  mode.source = ModeSource::pureMode;
  mode.pureClasses = classes;
  mode.length = length;
  mode.lambda = pure.lambda;
  mode.mode = inFileUnits(pure.mode, system_);
  sharesInto(mode);
  return true;
}

bool SectionModes::pureMinimum(unsigned classes, FoundMode& mode, std::string& missing) {
  std::string refusal;
  const std::vector<double>& values = pureCurve(classes, refusal);
  if (!refusal.empty()) {
    missing = refusal;
    return false;
  }
  std::size_t best = 0;
  for (std::size_t i = 1; i + 1 < values.size(); ++i) {
    const bool minimum = values[i] < values[i - 1] && values[i] < values[i + 1];
    if (minimum && (best == 0 || values[i] < values[best])) best = i;
  }
  if (best == 0) {
    missing = "neither its curve nor its pure curve has a minimum in the lengths";
    return false;
  }
  const LengthFunction f = [&](double L, double& lambda) {
    PureMode pure;
    if (!pureSolver().solve(L, classes, pure)) return false;
    lambda = pure.lambda;
    return true;
  };
  const LengthMinimum m =
      minimumBetween(f, lengths_[best - 1], lengths_[best + 1], lengths_[best], values[best]);
  return pureAt(classes, m.length, mode, missing);
}

void SectionModes::pureFallback(std::size_t slot) {
  ReportedMode& reported = modes_[slot];
  const ModeName name = kNamedModes[slot];
  const unsigned classes = spaceOf(name);
  std::string missing;
  bool found = false;
  if (name != ModeName::global) {
    found = pureMinimum(classes, reported.found, missing);
  } else if (lengths_.empty() || !curve_.points.back().converged()) {
    missing = "the longest length has no value";
  } else {
    found = pureAt(classes, lengths_.back(), reported.found, missing);
  }
  if (!found) {
    reported.found = FoundMode();
    reported.missing = missing;
    reported.noSuchDeformation = !pureSolver().spaces().hasDeformation(classes);
  }
}

void SectionModes::nameSlot(std::size_t slot, const MinimaNames& names) {
  modes_[slot] = ReportedMode();
  if (!hasShares()) {
    modes_[slot].missing = noShares_;
    return;
  }
  const int chosen = names.chosen[slot];
  if (chosen >= 0) {
    modes_[slot].found = candidates_[static_cast<std::size_t>(chosen)];
  } else {
    pureFallback(slot);
  }
}

void SectionModes::listOthers(const std::array<int, 3>& chosen) {
  further_.clear();
  mixed_.clear();
  if (!hasShares()) return;
  for (std::size_t i = 0; i < candidates_.size(); ++i) {
    const FoundMode& c = candidates_[i];
    if (c.source != ModeSource::minimum) continue;
    if (std::find(chosen.begin(), chosen.end(), int(i)) != chosen.end()) continue;
    (c.name == ModeName::mixed ? mixed_ : further_).push_back(c);
  }
}

void SectionModes::nameModes() {
  const MinimaNames names = nameMinima(candidates_);
  for (std::size_t slot = 0; slot < kNamedModes.size(); ++slot) nameSlot(slot, names);
  listOthers(names.chosen);
}

void SectionModes::followModes(const SectionModes& first) {
  const MinimaNames names = nameMinima(candidates_);
  std::array<int, 3> chosen = {-1, -1, -1};
  for (std::size_t slot = 0; slot < kNamedModes.size(); ++slot) {
    const ReportedMode& theirs = first.modes()[slot];
    ReportedMode& mine = modes_[slot];
    if (!hasShares() || theirs.found.source == ModeSource::none) {
      nameSlot(slot, names);
      chosen[slot] = names.chosen[slot];
      continue;
    }
    if (theirs.found.source == ModeSource::pureMode) {
      mine = ReportedMode();
      pureFallback(slot);
      continue;
    }
    const FollowedMode f = followMode(first.model(), theirs.found, model_, candidates_);
    if (f.index >= 0) {
      mine = ReportedMode();
      mine.found = candidates_[static_cast<std::size_t>(f.index)];
      mine.likeness = f.likeness;
      chosen[slot] = f.index;
    } else {
      nameSlot(slot, names);
      chosen[slot] = names.chosen[slot];
      mine.followed = false;
      mine.likeness = f.likeness;
    }
  }
  listOthers(chosen);
}

void SectionModes::convergeModes() {
  for (ReportedMode& m : modes_) {
    const FoundMode& f = m.found;
    m.value = ConvergedValue();
    m.value.length = f.length;
    m.value.lambda = f.lambda;
    if (f.source == ModeSource::none) continue;
    RefinedTarget target;
    target.minimum = f.source == ModeSource::minimum ||
                     (f.source == ModeSource::pureMode && f.pureClasses != kGlobal);
    target.pureClasses = f.source == ModeSource::pureMode ? f.pureClasses : 0;
    target.length = f.length;
    target.lambda = f.lambda;
    m.value = refinement_.converge(target);
  }
}

Result SectionModes::modeAt(double length, FoundMode& mode) {
  mode = FoundMode();
  const BucklingSolution s = solver_.solve(length, {1});
  if (!s.converged()) return s.result();
  mode.length = length;
  mode.lambda = s.lambda;
  mode.mode = s.mode;
  sharesInto(mode);
  return Result::success();
}
