#include "strip/block_cholesky.h"

#include <Eigen/OrderingMethods>
#include <Eigen/SparseCore>
#include <algorithm>
#include <cmath>

namespace {

// The elimination order of the node graph: approximate minimum degree.
std::vector<int> nodePositions(const std::vector<std::vector<int>>& neighbours) {
  const int n = static_cast<int>(neighbours.size());
  std::vector<Eigen::Triplet<double>> entries;
  for (int i = 0; i < n; ++i) {
    entries.emplace_back(i, i, 1.0);
    for (int j : neighbours[static_cast<std::size_t>(i)]) entries.emplace_back(i, j, 1.0);
  }
  Eigen::SparseMatrix<double> graph(n, n);
  graph.setFromTriplets(entries.begin(), entries.end());
  Eigen::PermutationMatrix<Eigen::Dynamic, Eigen::Dynamic, int> inverse;
  Eigen::AMDOrdering<int>()(graph, inverse);
  std::vector<int> position(static_cast<std::size_t>(n));
  for (int p = 0; p < n; ++p) position[static_cast<std::size_t>(inverse.indices()[p])] = p;
  return position;
}

}  // namespace

BlockCholesky::BlockCholesky(const std::vector<std::vector<int>>& neighbours, int blockSize)
    : size_(blockSize), position_(nodePositions(neighbours)) {
  const int n = static_cast<int>(neighbours.size());
  // The rows below the diagonal of each column of L: A's, and those of the
  // column's children in the elimination tree but the parent itself.
  std::vector<std::vector<int>> below(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    for (int j : neighbours[static_cast<std::size_t>(i)]) {
      const int P = position_[static_cast<std::size_t>(i)];
      const int Q = position_[static_cast<std::size_t>(j)];
      if (P > Q) below[static_cast<std::size_t>(Q)].push_back(P);
    }
  }
  std::vector<std::vector<int>> own = below;  // A's blocks, before the fill
  for (int Q = 0; Q < n; ++Q) {
    std::vector<int>& rows = below[static_cast<std::size_t>(Q)];
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty()) continue;
    std::vector<int>& parent = below[static_cast<std::size_t>(rows.front())];
    parent.insert(parent.end(), rows.begin() + 1, rows.end());
  }
  const std::size_t blockValues = static_cast<std::size_t>(size_) * static_cast<std::size_t>(size_);
  for (int Q = 0; Q < n; ++Q) {
    const std::vector<int>& mine = own[static_cast<std::size_t>(Q)];
    columnStart_.push_back(static_cast<int>(rows_.size()));
    ownStart_.push_back(static_cast<int>(ownBlocks_.size()));
    rows_.push_back(Q);
    offsets_.push_back(valueCount_);
    valueCount_ += blockValues;
    for (int P : below[static_cast<std::size_t>(Q)]) {
      if (std::find(mine.begin(), mine.end(), P) != mine.end()) {
        ownBlocks_.push_back(static_cast<int>(rows_.size()));
      }
      rows_.push_back(P);
      offsets_.push_back(valueCount_);
      valueCount_ += blockValues;
    }
  }
  columnStart_.push_back(static_cast<int>(rows_.size()));
  ownStart_.push_back(static_cast<int>(ownBlocks_.size()));
}

long BlockCholesky::blockOffset(int P, int Q) const {
  const auto begin = rows_.begin() + columnStart_[static_cast<std::size_t>(Q)];
  const auto end = rows_.begin() + columnStart_[static_cast<std::size_t>(Q) + 1];
  const auto found = std::lower_bound(begin + 1, end, P);
  if (P == Q) return static_cast<long>(offsets_[static_cast<std::size_t>(begin - rows_.begin())]);
  if (found == end || *found != P) return -1;
  return static_cast<long>(offsets_[static_cast<std::size_t>(found - rows_.begin())]);
}

// The numeric work on blocks of B x B: B fixed at compile time for the
// common sizes (1 to 5 terms in a group), where Eigen's kernels for any
// size would cost more than the arithmetic; B = Eigen::Dynamic for others.
namespace {

// L L^T of the symmetric block a (its lower triangle, column-major, n x n)
// in place; false when a pivot is not above 0. Written out, as the
// triangular solve below, because Eigen's kernels for a general size cost
// more than the arithmetic of blocks this small.
template <int B>
bool choleskyInPlace(double* a, int n) {
  const int size = B == Eigen::Dynamic ? n : B;
  for (int j = 0; j < size; ++j) {
    double pivot = a[j + j * size];
    for (int k = 0; k < j; ++k) pivot -= a[j + k * size] * a[j + k * size];
    if (!(pivot > 0)) return false;
    pivot = std::sqrt(pivot);
    a[j + j * size] = pivot;
    for (int i = j + 1; i < size; ++i) {
      double sum = a[i + j * size];
      for (int k = 0; k < j; ++k) sum -= a[i + k * size] * a[j + k * size];
      a[i + j * size] = sum / pivot;
    }
  }
  return true;
}

// x := x L^-T for the lower triangular factor l, both n x n column-major.
template <int B>
void solveRightTransposed(const double* l, double* x, int n) {
  const int size = B == Eigen::Dynamic ? n : B;
  for (int c = 0; c < size; ++c) {
    double* column = x + c * size;
    for (int k = 0; k < c; ++k) {
      const double factor = l[c + k * size];
      const double* done = x + k * size;
      for (int r = 0; r < size; ++r) column[r] -= factor * done[r];
    }
    const double pivot = l[c + c * size];
    for (int r = 0; r < size; ++r) column[r] /= pivot;
  }
}

template <int B>
struct BlockKernels {
  using Matrix = Eigen::Matrix<double, B, B>;
  using Vector = Eigen::Matrix<double, B, 1>;
  using Map = Eigen::Map<Matrix>;
  using ConstMap = Eigen::Map<const Matrix>;
  using VectorMap = Eigen::Map<Vector>;
  using ConstVectorMap = Eigen::Map<const Vector>;
  int n;  // the block size
  Map block(double* at) const { return Map(at, n, n); }
  ConstMap block(const double* at) const { return ConstMap(at, n, n); }
  VectorMap part(double* at) const { return VectorMap(at, n); }
  ConstVectorMap part(const double* at) const { return ConstVectorMap(at, n); }
};

}  // namespace

template <int B>
bool BlockCholesky::factoriseWith(std::vector<double>& L) const {
  const BlockKernels<B> k{size_};
  for (int K = 0; K < nodeCount(); ++K) {
    const int first = columnStart_[static_cast<std::size_t>(K)];
    double* diagonal = L.data() + offsets_[static_cast<std::size_t>(first)];
    if (!choleskyInPlace<B>(diagonal, size_)) return false;
    for (int b = first + 1; b < columnStart_[static_cast<std::size_t>(K) + 1]; ++b) {
      solveRightTransposed<B>(diagonal, L.data() + offsets_[static_cast<std::size_t>(b)], size_);
    }
    // Column K updates every pair P >= Q of its rows below the diagonal; the
    // rows of K past Q are among those of column Q, both in order, so one
    // walk down column Q finds every target.
    const int last = columnStart_[static_cast<std::size_t>(K) + 1];
    for (int a = first + 1; a < last; ++a) {
      const int Q = rows_[static_cast<std::size_t>(a)];
      const auto LQK =
          k.block(static_cast<const double*>(L.data() + offsets_[static_cast<std::size_t>(a)]));
      int target = columnStart_[static_cast<std::size_t>(Q)];
      for (int b = a; b < last; ++b) {
        const int P = rows_[static_cast<std::size_t>(b)];
        while (rows_[static_cast<std::size_t>(target)] != P) ++target;
        k.block(L.data() + offsets_[static_cast<std::size_t>(target)]).noalias() -=
            k.block(static_cast<const double*>(L.data() + offsets_[static_cast<std::size_t>(b)])) *
            LQK.transpose();
      }
    }
  }
  return true;
}

template <int B>
void BlockCholesky::solveLowerWith(const std::vector<double>& L, Eigen::VectorXd& x) const {
  const BlockKernels<B> k{size_};
  for (int K = 0; K < nodeCount(); ++K) {
    const int first = columnStart_[static_cast<std::size_t>(K)];
    auto xK = k.part(x.data() + static_cast<std::size_t>(K) * size_);
    k.block(L.data() + offsets_[static_cast<std::size_t>(first)])
        .template triangularView<Eigen::Lower>()
        .solveInPlace(xK);
    for (int b = first + 1; b < columnStart_[static_cast<std::size_t>(K) + 1]; ++b) {
      k.part(x.data() + static_cast<std::size_t>(rows_[static_cast<std::size_t>(b)]) * size_)
          .noalias() -= k.block(L.data() + offsets_[static_cast<std::size_t>(b)]) * xK;
    }
  }
}

template <int B>
void BlockCholesky::solveUpperWith(const std::vector<double>& L, Eigen::VectorXd& x) const {
  const BlockKernels<B> k{size_};
  for (int K = nodeCount() - 1; K >= 0; --K) {
    const int first = columnStart_[static_cast<std::size_t>(K)];
    auto xK = k.part(x.data() + static_cast<std::size_t>(K) * size_);
    for (int b = first + 1; b < columnStart_[static_cast<std::size_t>(K) + 1]; ++b) {
      xK.noalias() -= k.block(L.data() + offsets_[static_cast<std::size_t>(b)]).transpose() *
                      k.part(static_cast<const double*>(x.data()) +
                             static_cast<std::size_t>(rows_[static_cast<std::size_t>(b)]) * size_);
    }
    k.block(L.data() + offsets_[static_cast<std::size_t>(first)])
        .transpose()
        .template triangularView<Eigen::Upper>()
        .solveInPlace(xK);
  }
}

template <int B>
void BlockCholesky::multiplyWith(const std::vector<double>& A, const Eigen::VectorXd& x,
                                 Eigen::VectorXd& y) const {
  const BlockKernels<B> k{size_};
  for (int Q = 0; Q < nodeCount(); ++Q) {
    const int first = columnStart_[static_cast<std::size_t>(Q)];
    const auto xQ = k.part(x.data() + static_cast<std::size_t>(Q) * size_);
    auto yQ = k.part(y.data() + static_cast<std::size_t>(Q) * size_);
    yQ.noalias() += k.block(A.data() + offsets_[static_cast<std::size_t>(first)]) * xQ;
    for (int i = ownStart_[static_cast<std::size_t>(Q)];
         i < ownStart_[static_cast<std::size_t>(Q) + 1]; ++i) {
      const int b = ownBlocks_[static_cast<std::size_t>(i)];
      const auto block = k.block(A.data() + offsets_[static_cast<std::size_t>(b)]);
      const std::size_t P = static_cast<std::size_t>(rows_[static_cast<std::size_t>(b)]) * size_;
      k.part(y.data() + P).noalias() += block * xQ;
      yQ.noalias() += block.transpose() * k.part(x.data() + P);
    }
  }
}

bool BlockCholesky::factorise(const std::vector<double>& A, std::vector<double>& L) const {
  L = A;
  switch (size_) {
    case 4:
      return factoriseWith<4>(L);
    case 8:
      return factoriseWith<8>(L);
    case 12:
      return factoriseWith<12>(L);
    case 16:
      return factoriseWith<16>(L);
    case 20:
      return factoriseWith<20>(L);
    default:
      return factoriseWith<Eigen::Dynamic>(L);
  }
}

void BlockCholesky::solveLower(const std::vector<double>& L, Eigen::VectorXd& x) const {
  switch (size_) {
    case 4:
      return solveLowerWith<4>(L, x);
    case 8:
      return solveLowerWith<8>(L, x);
    case 12:
      return solveLowerWith<12>(L, x);
    case 16:
      return solveLowerWith<16>(L, x);
    case 20:
      return solveLowerWith<20>(L, x);
    default:
      return solveLowerWith<Eigen::Dynamic>(L, x);
  }
}

void BlockCholesky::solveUpper(const std::vector<double>& L, Eigen::VectorXd& x) const {
  switch (size_) {
    case 4:
      return solveUpperWith<4>(L, x);
    case 8:
      return solveUpperWith<8>(L, x);
    case 12:
      return solveUpperWith<12>(L, x);
    case 16:
      return solveUpperWith<16>(L, x);
    case 20:
      return solveUpperWith<20>(L, x);
    default:
      return solveUpperWith<Eigen::Dynamic>(L, x);
  }
}

Eigen::VectorXd BlockCholesky::multiply(const std::vector<double>& A,
                                        const Eigen::VectorXd& x) const {
  Eigen::VectorXd y = Eigen::VectorXd::Zero(x.size());
  switch (size_) {
    case 4:
      multiplyWith<4>(A, x, y);
      break;
    case 8:
      multiplyWith<8>(A, x, y);
      break;
    case 12:
      multiplyWith<12>(A, x, y);
      break;
    case 16:
      multiplyWith<16>(A, x, y);
      break;
    case 20:
      multiplyWith<20>(A, x, y);
      break;
    default:
      multiplyWith<Eigen::Dynamic>(A, x, y);
      break;
  }
  return y;
}
