// K and Kg of one group of coupled longitudinal terms in blocks of the four
// freedoms of one node in one term: the pattern, the elimination order
// (over the graph of nodes and coupled terms) and where each strip's block
// of each pair of terms goes are found once (block_cholesky.h); per length
// only the values are filled and the shifted matrices K - sigma Kg
// factorised.
#pragma once

#include <array>
#include <utility>
#include <vector>

#include "strip/block_cholesky.h"
#include "strip/strip_system.h"

// A factorisation K - sigma Kg = L L^T.
struct ShiftedFactor {
  double sigma = 0.0;
  std::vector<double> L;
};

class TermAssembly {
 public:
  // pairs: the indices j <= k of the coupled terms among termCount terms.
  TermAssembly(const StripSystem& system, const std::vector<std::pair<int, int>>& pairs,
               int termCount);

  // K and Kg of the terms (numbers, as many as termCount) at the solved length.
  void fill(const StripSystem& system, const std::vector<int>& terms, double aScaled);

  // Factorises K - sigma Kg into f; false when it is not positive definite.
  bool factorise(double sigma, ShiftedFactor& f);
  // L^T x = L^-1 (K - sigma Kg) x, the operator's vector of x.
  Eigen::VectorXd toOperator(const ShiftedFactor& f, const Eigen::VectorXd& x) const;
  // L^-T y, the freedoms of the operator's vector y.
  Eigen::VectorXd fromOperator(const ShiftedFactor& f, const Eigen::VectorXd& y) const;
  // L^-1 Kg L^-T q: its largest eigenvalue is 1 / (lambda - sigma).
  Eigen::VectorXd apply(const ShiftedFactor& f, const Eigen::VectorXd& q) const;
  double geometricEnergy(const Eigen::VectorXd& x) const;  // x^T Kg x

  Eigen::Index size() const { return size_; }
  // From the ordered freedoms to the layout of the terms, and back.
  Eigen::VectorXd toLayout(const Eigen::VectorXd& ordered) const;
  Eigen::VectorXd toOrdered(const Eigen::VectorXd& layout) const;

 private:
  std::vector<std::pair<int, int>> pairs_;
  BlockCholesky blocks_;
  Eigen::Index size_;
  std::vector<int> orderOf_;  // the ordered index of each freedom of the layout
  std::vector<double> K_, Kg_, shifted_;
  // Per pair, strip and pair of its nodes: the offsets of the 4 x 4 block of
  // K that it adds to and of the symmetric one, -1 where that lies above the
  // diagonal.
  std::vector<std::array<long, 2>> slots_;
};
