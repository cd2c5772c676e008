#include "strip/term_assembly.h"

#include <algorithm>

namespace {

// The nodes each node shares a strip with.
std::vector<std::vector<int>> neighboursOf(const StripSystem& system) {
  std::vector<std::vector<int>> neighbours(static_cast<std::size_t>(system.nodeCount()));
  for (const Strip& strip : system.scaled().strips) {
    neighbours[static_cast<std::size_t>(strip.first)].push_back(strip.second);
    neighbours[static_cast<std::size_t>(strip.second)].push_back(strip.first);
  }
  return neighbours;
}

}  // namespace

TermAssembly::TermAssembly(const StripSystem& system, const std::vector<std::pair<int, int>>& pairs,
                           int termCount)
    : pairs_(pairs),
      blocks_(neighboursOf(system), 4 * termCount),
      size_(static_cast<Eigen::Index>(4) * termCount * system.nodeCount()) {
  const int N = system.nodeCount();
  const int b = blocks_.blockSize();
  orderOf_.resize(static_cast<std::size_t>(size_));
  for (int j = 0; j < termCount; ++j) {
    for (int i = 0; i < N; ++i) {
      for (int f = 0; f < 4; ++f) {
        orderOf_[static_cast<std::size_t>(4 * (j * N + i) + f)] =
            blocks_.position(i) * b + 4 * j + f;
      }
    }
  }
  K_.assign(blocks_.valueCount(), 0.0);
  Kg_ = K_;
  // The place of entry (row, column) of the full matrix, by node and freedom
  // in the block, when it lies at or below the diagonal of blocks.
  auto place = [&](int rowNode, int row, int columnNode, int column) -> long {
    const int P = blocks_.position(rowNode), Q = blocks_.position(columnNode);
    if (P < Q) return -1;
    return blocks_.blockOffset(P, Q) + static_cast<long>(column) * b + row;
  };
  for (const auto& [j, k] : pairs_) {
    for (const Strip& strip : system.scaled().strips) {
      for (int r = 0; r < 8; ++r) {
        for (int s = 0; s < 8; ++s) {
          const int rowNode = r < 4 ? strip.first : strip.second;
          const int columnNode = s < 4 ? strip.first : strip.second;
          const int row = 4 * j + r % 4, column = 4 * k + s % 4;
          // A block of a term with itself is symmetric: its entry (s, r)
          // adds the symmetric place.
          slots_.push_back({place(rowNode, row, columnNode, column),
                            j == k ? -1 : place(columnNode, column, rowNode, row)});
        }
      }
    }
  }
}

void TermAssembly::fill(const StripSystem& system, const std::vector<int>& terms, double aScaled) {
  std::fill(K_.begin(), K_.end(), 0.0);
  std::fill(Kg_.begin(), Kg_.end(), 0.0);
  const std::vector<Strip>& strips = system.scaled().strips;
  StripSystem::PairBlocks blocks;
  std::size_t at = 0;
  for (const auto& [j, n] : pairs_) {
    system.pairBlocks(terms[static_cast<std::size_t>(j)], terms[static_cast<std::size_t>(n)],
                      aScaled, blocks);
    for (std::size_t i = 0; i < strips.size(); ++i) {
      const std::size_t shape = static_cast<std::size_t>(system.shapeOf(static_cast<int>(i)));
      const StripMatrix& e = blocks.elastic[shape];
      const StripMatrix kg = system.nodeStress(strips[i].first) * blocks.geometric1[shape] +
                             system.nodeStress(strips[i].second) * blocks.geometric2[shape];
      for (int s = 0; s < 8; ++s) {
        for (int r = 0; r < 8; ++r) {
          const std::array<long, 2>& slot = slots_[at + static_cast<std::size_t>(8 * r + s)];
          for (long place : slot) {
            if (place < 0) continue;
            K_[static_cast<std::size_t>(place)] += e(r, s);
            Kg_[static_cast<std::size_t>(place)] += kg(r, s);
          }
        }
      }
      at += 64;
    }
  }
}

bool TermAssembly::factorise(double sigma, ShiftedFactor& f) {
  shifted_.resize(K_.size());
  for (std::size_t i = 0; i < K_.size(); ++i) shifted_[i] = K_[i] - sigma * Kg_[i];
  f.sigma = sigma;
  return blocks_.factorise(shifted_, f.L);
}

Eigen::VectorXd TermAssembly::toOperator(const ShiftedFactor& f, const Eigen::VectorXd& x) const {
  Eigen::VectorXd y = blocks_.multiply(K_, x) - f.sigma * blocks_.multiply(Kg_, x);
  blocks_.solveLower(f.L, y);
  return y;
}

Eigen::VectorXd TermAssembly::fromOperator(const ShiftedFactor& f, const Eigen::VectorXd& y) const {
  Eigen::VectorXd x = y;
  blocks_.solveUpper(f.L, x);
  return x;
}

Eigen::VectorXd TermAssembly::apply(const ShiftedFactor& f, const Eigen::VectorXd& q) const {
  Eigen::VectorXd x = q;
  blocks_.solveUpper(f.L, x);
  Eigen::VectorXd w = blocks_.multiply(Kg_, x);
  blocks_.solveLower(f.L, w);
  return w;
}

double TermAssembly::geometricEnergy(const Eigen::VectorXd& x) const {
  return x.dot(blocks_.multiply(Kg_, x));
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
