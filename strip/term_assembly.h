// The fixed pattern of K and Kg for one structure of coupled longitudinal
// terms: their upper triangles in a fill-reducing order (AMD, chosen once),
// where each strip's block of each pair of terms goes, and the symbolic
// Cholesky factorisation; per length only the values are filled and the
// shifted matrices K - sigma Kg factorised.
#pragma once

#include <Eigen/SparseCholesky>
#include <utility>
#include <vector>

#include "strip/strip_system.h"

using Cholesky = Eigen::SimplicialLLT<SparseMatrix, Eigen::Upper, Eigen::NaturalOrdering<int>>;

// A factorisation K - sigma Kg = L L^T.
struct ShiftedFactor {
  double sigma = 0.0;
  Cholesky factor;
  bool analysed = false;  // its symbolic factorisation done
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

  Eigen::Index size() const { return K_.rows(); }
  // From the ordered freedoms to the layout of the terms, and back.
  Eigen::VectorXd toLayout(const Eigen::VectorXd& ordered) const;
  Eigen::VectorXd toOrdered(const Eigen::VectorXd& layout) const;

 private:
  std::vector<std::pair<int, int>> pairs_;
  std::vector<int> orderOf_;  // the ordered index of each freedom of the layout
  SparseMatrix K_, Kg_, shifted_;
  std::vector<int> slots_;  // per pair, strip and block entry: its value's index, or -1
};
