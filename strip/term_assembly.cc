#include "strip/term_assembly.h"

#include <Eigen/OrderingMethods>
#include <algorithm>

TermAssembly::TermAssembly(const StripSystem& system, const std::vector<std::pair<int, int>>& pairs,
                           int termCount)
    : pairs_(pairs) {
  const int N = system.nodeCount();
  const int size = 4 * N * termCount;
  const std::vector<Strip>& strips = system.scaled().strips;
  auto freedom = [&](int term, const Strip& strip, int local) {
    return 4 * (term * N + (local < 4 ? strip.first : strip.second)) + local % 4;
  };
  std::vector<Eigen::Triplet<double>> pattern;
  for (const auto& [j, k] : pairs_) {
    for (const Strip& strip : strips) {
      for (int r = 0; r < 8; ++r) {
        for (int s = 0; s < 8; ++s) {
          pattern.emplace_back(freedom(j, strip, r), freedom(k, strip, s), 1.0);
          pattern.emplace_back(freedom(k, strip, s), freedom(j, strip, r), 1.0);
        }
      }
    }
  }
  SparseMatrix full(size, size);
  full.setFromTriplets(pattern.begin(), pattern.end());
  Eigen::PermutationMatrix<Eigen::Dynamic, Eigen::Dynamic, int> inverse;
  Eigen::AMDOrdering<int>()(full, inverse);
  orderOf_.resize(static_cast<std::size_t>(size));
  for (int i = 0; i < size; ++i) orderOf_[static_cast<std::size_t>(inverse.indices()[i])] = i;
  pattern.clear();
  for (int c = 0; c < full.outerSize(); ++c) {
    for (SparseMatrix::InnerIterator it(full, c); it; ++it) {
      const int a = orderOf_[static_cast<std::size_t>(it.row())];
      const int b = orderOf_[static_cast<std::size_t>(c)];
      if (a <= b) pattern.emplace_back(a, b, 0.0);
    }
  }
  full = SparseMatrix();
  K_.resize(size, size);
  K_.setFromTriplets(pattern.begin(), pattern.end());
  K_.makeCompressed();
  Kg_ = K_;
  shifted_ = K_;
  auto slotOf = [&](int row, int column) {
    const int a = std::min(row, column), b = std::max(row, column);
    const int* begin = K_.innerIndexPtr() + K_.outerIndexPtr()[b];
    const int* end = K_.innerIndexPtr() + K_.outerIndexPtr()[b + 1];
    return static_cast<int>(std::lower_bound(begin, end, a) - K_.innerIndexPtr());
  };
  for (const auto& [j, k] : pairs_) {
    for (const Strip& strip : strips) {
      for (int r = 0; r < 8; ++r) {
        for (int s = 0; s < 8; ++s) {
          // A block of a term with itself is symmetric: each entry once.
          const bool twice = j == k && s < r;
          slots_.push_back(twice
                               ? -1
                               : slotOf(orderOf_[static_cast<std::size_t>(freedom(j, strip, r))],
                                        orderOf_[static_cast<std::size_t>(freedom(k, strip, s))]));
        }
      }
    }
  }
}

void TermAssembly::fill(const StripSystem& system, const std::vector<int>& terms, double aScaled) {
  std::fill(K_.valuePtr(), K_.valuePtr() + K_.nonZeros(), 0.0);
  std::fill(Kg_.valuePtr(), Kg_.valuePtr() + Kg_.nonZeros(), 0.0);
  double* k = K_.valuePtr();
  double* g = Kg_.valuePtr();
  const std::vector<Strip>& strips = system.scaled().strips;
  StripSystem::PairBlocks blocks;
  std::size_t at = 0;
  for (const auto& [j, n] : pairs_) {
    system.pairBlocks(terms[static_cast<std::size_t>(j)], terms[static_cast<std::size_t>(n)],
                      aScaled, blocks);
    for (std::size_t i = 0; i < strips.size(); ++i) {
      const std::size_t shape = static_cast<std::size_t>(system.shapeOf(static_cast<int>(i)));
      const StripMatrix& e = blocks.elastic[shape];
      const StripMatrix& g1 = blocks.geometric1[shape];
      const StripMatrix& g2 = blocks.geometric2[shape];
      const double s1 = system.nodeStress(strips[i].first);
      const double s2 = system.nodeStress(strips[i].second);
      for (int r = 0; r < 8; ++r) {
        for (int s = 0; s < 8; ++s, ++at) {
          const int slot = slots_[at];
          if (slot < 0) continue;
          k[slot] += e(r, s);
          g[slot] += s1 * g1(r, s) + s2 * g2(r, s);
        }
      }
    }
  }
}

bool TermAssembly::factorise(double sigma, ShiftedFactor& f) {
  const Eigen::Index count = K_.nonZeros();
  for (Eigen::Index i = 0; i < count; ++i) {
    shifted_.valuePtr()[i] = K_.valuePtr()[i] - sigma * Kg_.valuePtr()[i];
  }
  if (!f.analysed) f.factor.analyzePattern(shifted_);
  f.analysed = true;
  f.sigma = sigma;
  f.factor.factorize(shifted_);
  return f.factor.info() == Eigen::Success;
}

Eigen::VectorXd TermAssembly::toOperator(const ShiftedFactor& f, const Eigen::VectorXd& x) const {
  const Eigen::VectorXd kx = K_.selfadjointView<Eigen::Upper>() * x;
  const Eigen::VectorXd gx = Kg_.selfadjointView<Eigen::Upper>() * x;
  return f.factor.matrixL().solve(kx - f.sigma * gx);
}

Eigen::VectorXd TermAssembly::fromOperator(const ShiftedFactor& f, const Eigen::VectorXd& y) const {
  return f.factor.matrixU().solve(y);
}

Eigen::VectorXd TermAssembly::apply(const ShiftedFactor& f, const Eigen::VectorXd& q) const {
  const Eigen::VectorXd x = f.factor.matrixU().solve(q);
  return f.factor.matrixL().solve(Kg_.selfadjointView<Eigen::Upper>() * x);
}

double TermAssembly::geometricEnergy(const Eigen::VectorXd& x) const {
  return x.dot(Kg_.selfadjointView<Eigen::Upper>() * x);
}

Eigen::VectorXd TermAssembly::toLayout(const Eigen::VectorXd& ordered) const {
  Eigen::VectorXd layout(ordered.size());
  for (Eigen::Index i = 0; i < ordered.size(); ++i) {
    layout[i] = ordered[orderOf_[static_cast<std::size_t>(i)]];
  }
  return layout;
}

Eigen::VectorXd TermAssembly::toOrdered(const Eigen::VectorXd& layout) const {
  Eigen::VectorXd ordered(layout.size());
  for (Eigen::Index i = 0; i < layout.size(); ++i) {
    ordered[orderOf_[static_cast<std::size_t>(i)]] = layout[i];
  }
  return ordered;
}
