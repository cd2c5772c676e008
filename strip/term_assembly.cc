#include "strip/term_assembly.h"

#include <algorithm>

namespace {

// The graph of the blocks: one vertex per node and term, j N + i as in the
// layout; two vertices are neighbours where a strip joins their nodes and
// an integral couples their terms.
std::vector<std::vector<int>> neighboursOf(const StripSystem& system,
                                           const std::vector<std::pair<int, int>>& pairs,
                                           int termCount) {
  const int N = system.nodeCount();
  std::vector<std::vector<int>> neighbours(static_cast<std::size_t>(N) *
                                           static_cast<std::size_t>(termCount));
  auto join = [&](int u, int v) {
    if (u == v) return;
    neighbours[static_cast<std::size_t>(u)].push_back(v);
    neighbours[static_cast<std::size_t>(v)].push_back(u);
  };
  for (const auto& [j, k] : pairs) {
    for (const Strip& strip : system.scaled().strips) {
      for (int a : {strip.first, strip.second}) {
        for (int b : {strip.first, strip.second}) join(j * N + a, k * N + b);
      }
    }
  }
  return neighbours;
}

}  // namespace

TermAssembly::TermAssembly(const StripSystem& system, const std::vector<std::pair<int, int>>& pairs,
                           int termCount)
    : pairs_(pairs),
      blocks_(neighboursOf(system, pairs, termCount), 4),
      size_(static_cast<Eigen::Index>(4) * termCount * system.nodeCount()) {
  const int N = system.nodeCount();
  orderOf_.resize(static_cast<std::size_t>(size_));
  for (int v = 0; v < termCount * N; ++v) {
    for (int f = 0; f < 4; ++f)
      orderOf_[static_cast<std::size_t>(4 * v + f)] = 4 * blocks_.position(v) + f;
  }
  K_.assign(blocks_.valueCount(), 0.0);
  Kg_ = K_;
  // The offset of the block of vertices (u, v) of the full matrix, when it
  // lies at or below the diagonal of blocks; -1 above.
  auto place = [&](int u, int v) -> long {
    const int P = blocks_.position(u), Q = blocks_.position(v);
    return P < Q ? -1 : blocks_.blockOffset(P, Q);
  };
  for (const auto& [j, k] : pairs_) {
    for (const Strip& strip : system.scaled().strips) {
      const int nodes[2] = {strip.first, strip.second};
      for (int a = 0; a < 2; ++a) {
        for (int b = 0; b < 2; ++b) {
          const int u = j * N + nodes[a], v = k * N + nodes[b];
          // A block of a term with itself is symmetric: its block (b, a)
          // adds the symmetric place.
          slots_.push_back({place(u, v), j == k ? -1 : place(v, u)});
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
  using Block = Eigen::Map<Eigen::Matrix4d>;
  for (const auto& [j, n] : pairs_) {
    system.pairBlocks(terms[static_cast<std::size_t>(j)], terms[static_cast<std::size_t>(n)],
                      aScaled, blocks);
    for (std::size_t i = 0; i < strips.size(); ++i) {
      const std::size_t shape = static_cast<std::size_t>(system.shapeOf(static_cast<int>(i)));
      const StripMatrix& e = blocks.elastic[shape];
      const StripMatrix kg = system.nodeStress(strips[i].first) * blocks.geometric1[shape] +
                             system.nodeStress(strips[i].second) * blocks.geometric2[shape];
      for (int a = 0; a < 2; ++a) {
        for (int b = 0; b < 2; ++b, ++at) {
          const std::array<long, 2>& slot = slots_[at];
          if (slot[0] >= 0) {
            Block(K_.data() + slot[0]) += e.block<4, 4>(4 * a, 4 * b);
            Block(Kg_.data() + slot[0]) += kg.block<4, 4>(4 * a, 4 * b);
          }
          if (slot[1] >= 0) {
            Block(K_.data() + slot[1]) += e.block<4, 4>(4 * a, 4 * b).transpose();
            Block(Kg_.data() + slot[1]) += kg.block<4, 4>(4 * a, 4 * b).transpose();
          }
        }
      }
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
