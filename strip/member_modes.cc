#include "strip/member_modes.h"

#include "strip/mode_shares.h"
#include "strip/pure_modes.h"

namespace {

// The pure global problem of the member of length a with the terms of its
// mode (the member theory's law, as the pure global curve).
void pureGlobal(const StripModel& model, const StressField& stress, EndConditions ends, double a,
                const std::vector<int>& terms, const ModeClassifier& classifier,
                MemberModes& modes) {
  const StripSystem member(withoutPoissonCoupling(model), stress, ends);
  ModalSpaceBuilder spaces;
  PureMode pure;
  Result solved = spaces.prepare(member.scaled());
  if (solved) solved = pureMemberModeAt(spaces, member, a, terms, kGlobal, pure);
  if (!solved) {
    modes.missing = solved.reason();
    return;
  }
  modes.global.source = ModeSource::pureMode;
  modes.global.pureClasses = kGlobal;
  modes.global.length = a;
  modes.global.lambda = pure.lambda;
  modes.global.mode = inFileUnits(pure.mode, member);
  if (classifier.sharesOf(modes.global.mode, terms, a, modes.global.shares)) {
    modes.global.name = nameOf(modes.global.shares);
  }
}

}  // namespace

MemberModes memberModes(const StripModel& model, const StressField& stress, EndConditions ends,
                        const std::vector<double>& lengths, int terms, const Progress& progress) {
  MemberModes modes;
  MemberSolver solver(model, stress, ends);
  ModeClassifier classifier;
  if (Result prepared = classifier.prepare(solver.system()); !prepared) {
    modes.noShares = prepared.reason();
  }
  std::vector<int> longestTerms{1};
  for (double a : lengths) {
    const MemberBuckling member = solver.solve(a, terms, progress);
    MemberModePoint p;
    p.point = memberPoint(a, member);
    if (member.solution.converged() && modes.noShares.empty()) {
      p.hasShares = classifier.sharesOf(member.solution, a, p.shares).ok();
      if (p.hasShares) p.name = nameOf(p.shares);
    }
    if (member.solution.converged()) longestTerms = member.solution.terms;
    const bool lower =
        modes.global.source == ModeSource::none || p.point.lambda < modes.global.lambda;
    if (p.hasShares && p.name == ModeName::global && lower) {
      modes.global.source = ModeSource::memberLength;
      modes.global.length = a;
      modes.global.lambda = p.point.lambda;
      modes.global.shares = p.shares;
      modes.global.name = p.name;
    }
    modes.points.push_back(p);
  }
  if (!modes.noShares.empty()) {
    modes.missing = modes.noShares;
  } else if (modes.global.source == ModeSource::none && !lengths.empty()) {
    // The global mode of a member of S-S terms is its first term's.
    if (ends == EndConditions::SS) longestTerms = {1};
    pureGlobal(model, stress, ends, lengths.back(), longestTerms, classifier, modes);
  }
  return modes;
}
