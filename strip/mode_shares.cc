#include "strip/mode_shares.h"

#include "section/plate_geometry.h"

Result ModeClassifier::prepare(const StripSystem& system) {
  D_ = system.lengthScale();
  return builder_.prepare(system);
}

Result ModeClassifier::sharesOf(const Eigen::VectorXd& mode, const std::vector<int>& terms,
                                double a, ModeShares& shares) const {
  shares = ModeShares();
  if (!prepared()) return Result::failure("the modal spaces were not prepared");
  const Eigen::Index n = 4 * Eigen::Index(builder_.nodeCount());
  if (terms.empty() || mode.size() != n * Eigen::Index(terms.size())) {
    return Result::failure("the mode does not fit the model's layout");
  }
  ModeShares parts;
  for (std::size_t j = 0; j < terms.size(); ++j) {
    ModalSpaces spaces;
    const Result built = builder_.spacesAt({terms[j] * kPi * D_ / a}, spaces);
    if (!built) return built;
    // Into the solved units: displacements over D, theta as it is.
    Eigen::VectorXd x = mode.segment(Eigen::Index(j) * n, n);
    for (Eigen::Index i = 0; i < n; ++i) {
      if (i % 4 != 3) x[i] /= D_;
    }
    const ModeShares p = modeParts(spaces, x);
    parts.global += p.global;
    parts.distortional += p.distortional;
    parts.local += p.local;
    parts.other += p.other;
  }
  shares = sharesOfParts(parts);
  return Result::success();
}
