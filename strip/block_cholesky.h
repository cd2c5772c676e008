// A sparse Cholesky factorisation over node blocks: the freedoms of one node
// in every term of a group form one dense block, the nodes are ordered once
// to keep the fill small (approximate minimum degree on the node graph),
// and the factor's block pattern is found once. Each
// factorisation and solve then works on dense blocks only.
#pragma once

#include <Eigen/Core>
#include <array>
#include <cstddef>
#include <vector>

class BlockCholesky {
 public:
  // neighbours: for each node the nodes it shares a strip with; blockSize:
  // the freedoms of each node.
  BlockCholesky(const std::vector<std::vector<int>>& neighbours, int blockSize);

  int blockSize() const { return size_; }
  int nodeCount() const { return static_cast<int>(columnStart_.size()) - 1; }
  // The node's place in the elimination order.
  int position(int node) const { return position_[static_cast<std::size_t>(node)]; }
  // The doubles that a matrix of the factor's pattern holds: every block at
  // or below the diagonal, column by column, each block column-major.
  std::size_t valueCount() const { return valueCount_; }
  // The offset of block (P, Q), P >= Q in the order, in a matrix of the
  // pattern; -1 when the factor has none there.
  long blockOffset(int P, int Q) const;

  // L of A = L L^T (A: its blocks at and below the diagonal, the diagonal
  // blocks whole); false when A is not positive definite.
  bool factorise(const std::vector<double>& A, std::vector<double>& L) const;
  // x := L^-1 x and x := L^-T x, x in the order (block P at P * blockSize).
  void solveLower(const std::vector<double>& L, Eigen::VectorXd& x) const;
  void solveUpper(const std::vector<double>& L, Eigen::VectorXd& x) const;
  // y = A x for a symmetric A of the pattern that is 0 outside A's own
  // blocks (the fill of the factor left out).
  Eigen::VectorXd multiply(const std::vector<double>& A, const Eigen::VectorXd& x) const;

 private:
  template <int B>
  bool factoriseWith(std::vector<double>& L) const;
  template <int B>
  void solveLowerWith(const std::vector<double>& L, Eigen::VectorXd& x) const;
  template <int B>
  void solveUpperWith(const std::vector<double>& L, Eigen::VectorXd& x) const;
  template <int B>
  void multiplyWith(const std::vector<double>& A, const Eigen::VectorXd& x,
                    Eigen::VectorXd& y) const;

  int size_;
  std::vector<int> position_;     // of each node
  std::vector<int> columnStart_;  // per column Q: its first block in rows_ / offsets_
  std::vector<int> rows_;         // per block: its row P (the diagonal block first)
  std::vector<std::size_t> offsets_;
  std::vector<int> ownStart_;   // per column Q: its first entry in ownBlocks_
  std::vector<int> ownBlocks_;  // the blocks below the diagonal that A has, by index in rows_
  std::size_t valueCount_ = 0;
};
