#include "strip/modal_spaces.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "section/plate_geometry.h"
#include "strip/strip_system.h"

namespace {

using Matrix = Eigen::MatrixXd;
using Vector = Eigen::VectorXd;
using Sparse = Eigen::SparseMatrix<double>;

// Relative size below which a direction counts as absent.
const double kRankTolerance = 1e-10;

// Freedom f (u_y 0, u_z 1, v 2, theta 3) of node i in term j.
struct Layout {
  int nodes = 0;
  int terms = 0;
  int index(int term, int node, int f) const { return 4 * (term * nodes + node) + f; }
  int size() const { return 4 * nodes * terms; }
};

// The columns of a matrix spanning {x : A x = 0}, from a rank-revealing QR
// of A's transpose with A's rows scaled to unit length.
Matrix nullSpace(const Matrix& A) {
  const Eigen::Index m = A.cols();
  if (A.rows() == 0) return Matrix::Identity(m, m);
  Matrix scaled = A;
  for (Eigen::Index r = 0; r < scaled.rows(); ++r) {
    const double norm = scaled.row(r).norm();
    if (norm > 0) scaled.row(r) /= norm;
  }
  Eigen::ColPivHouseholderQR<Matrix> qr(scaled.transpose());
  qr.setThreshold(kRankTolerance);
  const Matrix q = qr.householderQ() * Matrix::Identity(m, m);
  return q.rightCols(m - qr.rank());
}

double workNormOf(const Vector& x, const Sparse& M) {
  return std::sqrt(std::max(0.0, x.dot(M * x)));
}

Matrix columnsOf(const Matrix& a, const Matrix& b) {
  Matrix both(a.rows(), a.cols() + b.cols());
  both << a, b;
  return both;
}

// Coefficients C such that Y C spans what Y's columns span and is
// orthonormal, given the Gram matrix Y^T M Y of Y's columns in M; columns
// that add less than the rank tolerance are left out.
Matrix orthonormalCoefficients(const Matrix& gram) {
  const Eigen::Index n = gram.rows();
  Vector scale = Vector::Ones(n);
  for (Eigen::Index c = 0; c < n; ++c) {
    if (gram(c, c) > 0) scale[c] = 1 / std::sqrt(gram(c, c));
  }
  if (n == 0) return Matrix(0, 0);
  const Matrix scaled = scale.asDiagonal() * gram * scale.asDiagonal();
  Eigen::SelfAdjointEigenSolver<Matrix> eigen(scaled);
  const double largest = eigen.eigenvalues().maxCoeff();
  std::vector<Eigen::Index> kept;
  for (Eigen::Index i = 0; i < n; ++i) {
    if (eigen.eigenvalues()[i] > kRankTolerance * largest) kept.push_back(i);
  }
  Matrix coefficients(n, Eigen::Index(kept.size()));
  for (std::size_t c = 0; c < kept.size(); ++c) {
    coefficients.col(Eigen::Index(c)) = scale.asDiagonal() * eigen.eigenvectors().col(kept[c]) /
                                        std::sqrt(eigen.eigenvalues()[kept[c]]);
  }
  return coefficients;
}

// A basis of the span of X's columns, orthonormal in M.
Matrix orthonormal(const Matrix& X, const Sparse& M) {
  return X * orthonormalCoefficients(X.transpose() * (M * X));
}

// A space spanned by the columns of S C, S sparse (raw columns that each
// move a few freedoms) and C dense (their combinations that keep the
// constraints), and the same columns orthonormal in M, S C': the products
// with M go through the small S^T M S instead of the tall S C.
struct FactoredSpace {
  Sparse raw;           // S
  Matrix coefficients;  // C', orthonormal: (S C')^T M (S C') = I
  Matrix basis;         // S C'
  Matrix product(const Sparse& M) const {  // (S C')^T M (S C')
    const Sparse inner = raw.transpose() * M * raw;
    return coefficients.transpose() * (inner * coefficients);
  }
};

// For columns that are independent (a basis by construction): C R^-1 with R
// the Cholesky factor of their Gram matrix, at a fraction of the eigen
// decomposition's cost; orthonormal's way should the factor break down.
FactoredSpace orthonormalIndependent(const Sparse& S, const Matrix& C, const Sparse& M) {
  FactoredSpace space;
  space.raw = S;
  const Matrix gram = C.transpose() * (Sparse(S.transpose() * M * S) * C);
  Eigen::LLT<Matrix> factor(gram);
  space.coefficients = factor.info() == Eigen::Success
                           ? Matrix(factor.matrixU().solve<Eigen::OnTheRight>(C))
                           : Matrix(C * orthonormalCoefficients(gram));
  space.basis = S * space.coefficients;
  return space;
}

// The transverse bending of every strip as a plane beam (the section as a
// frame); its stiffness is per unit E and the same in every term.
Sparse frameStiffness(const StripModel& model, const Layout& layout) {
  std::vector<Eigen::Triplet<double>> entries;
  for (int term = 0; term < layout.terms; ++term) {
    for (const Strip& strip : model.strips) {
      const StripNode& a = model.nodes[static_cast<std::size_t>(strip.first)];
      const StripNode& b = model.nodes[static_cast<std::size_t>(strip.second)];
      const double width = std::hypot(b.y - a.y, b.z - a.z);
      const double c = (b.y - a.y) / width, s = (b.z - a.z) / width;
      Eigen::Matrix4d beam;
      const double w = width;
      beam << 12, 6 * w, -12, 6 * w, 6 * w, 4 * w * w, -6 * w, 2 * w * w, -12, -6 * w, 12, -6 * w,
          6 * w, 2 * w * w, -6 * w, 4 * w * w;
      beam *= strip.t * strip.t * strip.t / (w * w * w);
      // Local (w1, theta1, w2, theta2) from the nodes' (u_y, u_z, theta).
      Eigen::Matrix<double, 4, 6> T = Eigen::Matrix<double, 4, 6>::Zero();
      T(0, 0) = -s, T(0, 1) = c, T(1, 2) = 1, T(2, 3) = -s, T(2, 4) = c, T(3, 5) = 1;
      const Eigen::Matrix<double, 6, 6> k = T.transpose() * beam * T;
      const int dofs[6] = {
          layout.index(term, strip.first, 0),  layout.index(term, strip.first, 1),
          layout.index(term, strip.first, 3),  layout.index(term, strip.second, 0),
          layout.index(term, strip.second, 1), layout.index(term, strip.second, 3)};
      for (int i = 0; i < 6; ++i) {
        for (int j = 0; j < 6; ++j) entries.emplace_back(dofs[i], dofs[j], k(i, j));
      }
    }
  }
  Sparse K(layout.size(), layout.size());
  K.setFromTriplets(entries.begin(), entries.end());
  return K;
}

// The axial stiffness of the warping, t times the mean square of v over
// every strip: orthogonal warpings carry no stress resultant of each other.
Sparse warpingProduct(const StripModel& model, const Layout& layout) {
  std::vector<Eigen::Triplet<double>> entries;
  for (int term = 0; term < layout.terms; ++term) {
    for (const Strip& strip : model.strips) {
      const StripNode& a = model.nodes[static_cast<std::size_t>(strip.first)];
      const StripNode& b = model.nodes[static_cast<std::size_t>(strip.second)];
      const double weight = strip.t * std::hypot(b.y - a.y, b.z - a.z) / 6;
      const int i = layout.index(term, strip.first, 2), j = layout.index(term, strip.second, 2);
      entries.emplace_back(i, i, 2 * weight);
      entries.emplace_back(j, j, 2 * weight);
      entries.emplace_back(i, j, weight);
      entries.emplace_back(j, i, weight);
    }
  }
  Sparse W(layout.size(), layout.size());
  W.setFromTriplets(entries.begin(), entries.end());
  return W;
}

// Per fold node: its offset from the fold's reference node and its
// sectorial coordinate about the pivot along the fold's strips.
struct FoldGeometry {
  std::vector<double> dy, dz, omega;  // indexed like Fold::nodes
};

std::vector<FoldGeometry> foldGeometry(const StripModel& model, const FoldStructure& s) {
  std::vector<FoldGeometry> geometry;
  for (const Fold& fold : s.folds) {
    FoldGeometry g;
    const std::size_t n = fold.nodes.size();
    g.dy.assign(n, 0.0), g.dz.assign(n, 0.0), g.omega.assign(n, 0.0);
    std::vector<char> known(n, 0);
    known[0] = 1;
    auto at = [&](int node) {
      return std::size_t(std::find(fold.nodes.begin(), fold.nodes.end(), node) -
                         fold.nodes.begin());
    };
    // The strips of a fold form a tree: sweep until every node is reached.
    for (std::size_t sweep = 0; sweep < n; ++sweep) {
      for (int index : fold.strips) {
        const Strip& strip = model.strips[static_cast<std::size_t>(index)];
        std::size_t i = at(strip.first), j = at(strip.second);
        if (known[i] == known[j]) continue;
        if (!known[i]) std::swap(i, j);
        const StripNode& a = model.nodes[static_cast<std::size_t>(fold.nodes[i])];
        const StripNode& b = model.nodes[static_cast<std::size_t>(fold.nodes[j])];
        g.dy[j] = g.dy[i] + (b.y - a.y);
        g.dz[j] = g.dz[i] + (b.z - a.z);
        g.omega[j] =
            g.omega[i] + (a.y - fold.pivotY) * (b.z - a.z) - (a.z - fold.pivotZ) * (b.y - a.y);
        known[j] = 1;
      }
    }
    geometry.push_back(g);
  }
  return geometry;
}

// The columns of one term's raw parameters: per fold (warping, d_y, d_z,
// turn) in GDL or (d_y, d_z, turn) in L, then per wall node (deflection,
// rotation). Warping is kept as (k D) p and a turn as theta D, so that every
// parameter is a length and the matrices stay balanced at any wavenumber.
struct RawSpace {
  Matrix displacement;  // layout size x parameters
  Matrix constraint;    // rows: the walls' ends move along the wall as the wall
};

class RawBuilder {
 public:
  RawBuilder(const StripModel& model, const FoldStructure& s, const Layout& layout, bool warping)
      : model_(model),
        s_(s),
        layout_(layout),
        warping_(warping),
        geometry_(foldGeometry(model, s)) {
    perFold_ = warping ? 4 : 3;
    int wallNodes = 0;
    for (const Wall& wall : s.walls) wallNodes += int(wall.nodes.size()) - 2;
    perTerm_ = perFold_ * int(s.folds.size()) + 2 * wallNodes;
  }

  RawSpace build(const std::vector<double>& wavenumbers) {
    RawSpace raw;
    raw.displacement = Matrix::Zero(layout_.size(), perTerm_ * layout_.terms);
    raw.constraint =
        Matrix::Zero(2 * Eigen::Index(s_.walls.size()) * layout_.terms, perTerm_ * layout_.terms);
    for (int term = 0; term < layout_.terms; ++term) {
      addFolds(term, wavenumbers[static_cast<std::size_t>(term)], raw);
      addWalls(term, wavenumbers[static_cast<std::size_t>(term)], raw);
    }
    return raw;
  }

 private:
  int foldColumn(int term, int fold) const { return term * perTerm_ + perFold_ * fold; }

  // The warping of fold node k over the wavenumber, per fold parameter.
  Eigen::Vector4d warpingOverK(int fold, std::size_t k) const {
    const FoldGeometry& g = geometry_[static_cast<std::size_t>(fold)];
    return {s_.size, -g.dy[k], -g.dz[k], -g.omega[k] / s_.size};
  }

  void addFolds(int term, double wavenumber, RawSpace& raw) const {
    const double D = s_.size;
    for (std::size_t f = 0; f < s_.folds.size(); ++f) {
      const Fold& fold = s_.folds[f];
      const int c = foldColumn(term, int(f)) + (warping_ ? 1 : 0);  // d_y column
      for (std::size_t k = 0; k < fold.nodes.size(); ++k) {
        const int node = fold.nodes[k];
        const StripNode& p = model_.nodes[static_cast<std::size_t>(node)];
        Matrix& X = raw.displacement;
        X(layout_.index(term, node, 0), c) = 1;
        X(layout_.index(term, node, 1), c + 1) = 1;
        X(layout_.index(term, node, 0), c + 2) = -(p.z - fold.pivotZ) / D;
        X(layout_.index(term, node, 1), c + 2) = (p.y - fold.pivotY) / D;
        X(layout_.index(term, node, 3), c + 2) = 1 / D;
        if (!warping_) continue;
        const Eigen::Vector4d w = wavenumber * warpingOverK(int(f), k);
        for (int j = 0; j < 4; ++j) X(layout_.index(term, node, 2), c - 1 + j) = w[j];
      }
    }
  }

  std::size_t indexInFold(int fold, int node) const {
    const Fold& f = s_.folds[static_cast<std::size_t>(fold)];
    return std::size_t(std::find(f.nodes.begin(), f.nodes.end(), node) - f.nodes.begin());
  }

  // The wall's displacement along itself, per parameter of its end folds
  // (zero in L): u = -(v_last - v_first) / (k b).
  Vector alongWall(int term, const Wall& wall) const {
    Vector u = Vector::Zero(perTerm_ * layout_.terms);
    if (!warping_) return u;
    const Eigen::Vector4d first =
        warpingOverK(wall.firstFold, indexInFold(wall.firstFold, wall.nodes.front()));
    const Eigen::Vector4d last =
        warpingOverK(wall.lastFold, indexInFold(wall.lastFold, wall.nodes.back()));
    u.segment<4>(foldColumn(term, wall.firstFold)) += first / wall.length;
    u.segment<4>(foldColumn(term, wall.lastFold)) -= last / wall.length;
    return u;
  }

  void addWalls(int term, double wavenumber, RawSpace& raw) const {
    int column = term * perTerm_ + perFold_ * int(s_.folds.size());
    for (std::size_t w = 0; w < s_.walls.size(); ++w) {
      const Wall& wall = s_.walls[w];
      const Vector u = alongWall(term, wall);
      addWallNodes(term, wavenumber, wall, u, column, raw);
      for (int end = 0; end < 2; ++end) {
        const int node = end == 0 ? wall.nodes.front() : wall.nodes.back();
        const int fold = end == 0 ? wall.firstFold : wall.lastFold;
        const Fold& f = s_.folds[static_cast<std::size_t>(fold)];
        const StripNode& p = model_.nodes[static_cast<std::size_t>(node)];
        const Eigen::Index row = Eigen::Index(2 * (term * int(s_.walls.size()) + int(w)) + end);
        const int c = foldColumn(term, fold) + (warping_ ? 1 : 0);
        raw.constraint.row(row) = -u.transpose();
        raw.constraint(row, c) += wall.ey;
        raw.constraint(row, c + 1) += wall.ez;
        raw.constraint(row, c + 2) +=
            ((p.y - f.pivotY) * wall.ez - (p.z - f.pivotZ) * wall.ey) / s_.size;
      }
    }
  }

  // The nodes inside a wall: its displacement along it, its own deflection
  // and rotation, and the warping linear between its ends.
  void addWallNodes(int term, double wavenumber, const Wall& wall, const Vector& u, int& column,
                    RawSpace& raw) const {
    Matrix& X = raw.displacement;
    const StripNode& a = model_.nodes[static_cast<std::size_t>(wall.nodes.front())];
    for (std::size_t k = 1; k + 1 < wall.nodes.size(); ++k) {
      const int node = wall.nodes[k];
      const StripNode& p = model_.nodes[static_cast<std::size_t>(node)];
      const double share = std::hypot(p.y - a.y, p.z - a.z) / wall.length;
      X.row(layout_.index(term, node, 0)) += wall.ey * u.transpose();
      X.row(layout_.index(term, node, 1)) += wall.ez * u.transpose();
      if (warping_) {
        const int first = wall.nodes.front(), last = wall.nodes.back();
        for (Eigen::Index c = 0; c < X.cols(); ++c) {
          X(layout_.index(term, node, 2), c) = (1 - share) * X(layout_.index(term, first, 2), c) +
                                               share * X(layout_.index(term, last, 2), c);
        }
      }
      X(layout_.index(term, node, 0), column) = -wall.ez;
      X(layout_.index(term, node, 1), column) = wall.ey;
      X(layout_.index(term, node, 3), column + 1) = 1 / s_.size;
      column += 2;
    }
    (void)wavenumber;
  }

  const StripModel& model_;
  const FoldStructure& s_;
  Layout layout_;
  bool warping_;
  std::vector<FoldGeometry> geometry_;
  int perFold_ = 0;
  int perTerm_ = 0;
};

// Axial shortening and the three rigid motions in the plane, each with the
// warping that keeps every strip free of shear (Vlasov), per term.
Matrix rigidMotions(const StripModel& model, const FoldStructure& s, const Layout& layout,
                    const std::vector<double>& wavenumbers) {
  Matrix R = Matrix::Zero(layout.size(), 4 * layout.terms);
  double cy = 0, cz = 0;
  for (const StripNode& n : model.nodes) cy += n.y, cz += n.z;
  cy /= double(model.nodes.size()), cz /= double(model.nodes.size());
  // Nodes in an order where each one but the first follows from a strip
  // to a node before it.
  std::vector<std::vector<std::pair<int, int>>> adjacent(model.nodes.size());
  for (std::size_t k = 0; k < model.strips.size(); ++k) {
    adjacent[static_cast<std::size_t>(model.strips[k].first)].push_back(
        {model.strips[k].second, 0});
    adjacent[static_cast<std::size_t>(model.strips[k].second)].push_back(
        {model.strips[k].first, 0});
  }
  for (int term = 0; term < layout.terms; ++term) {
    const double k = wavenumbers[static_cast<std::size_t>(term)];
    for (int i = 0; i < layout.nodes; ++i) {
      const StripNode& p = model.nodes[static_cast<std::size_t>(i)];
      R(layout.index(term, i, 2), 4 * term) = 1;
      R(layout.index(term, i, 0), 4 * term + 1) = 1;
      R(layout.index(term, i, 1), 4 * term + 2) = 1;
      R(layout.index(term, i, 0), 4 * term + 3) = -(p.z - cz) / s.size;
      R(layout.index(term, i, 1), 4 * term + 3) = (p.y - cy) / s.size;
      R(layout.index(term, i, 3), 4 * term + 3) = 1 / s.size;
    }
    std::vector<char> done(model.nodes.size(), 0);
    std::vector<int> stack{0};
    done[0] = 1;
    while (!stack.empty()) {
      const int a = stack.back();
      stack.pop_back();
      for (const auto& next : adjacent[static_cast<std::size_t>(a)]) {
        const int b = next.first;
        if (done[static_cast<std::size_t>(b)]) continue;
        const StripNode& pa = model.nodes[static_cast<std::size_t>(a)];
        const StripNode& pb = model.nodes[static_cast<std::size_t>(b)];
        for (int c = 4 * term + 1; c < 4 * term + 4; ++c) {
          // dv/ds = -k u_s: the change over the strip is -k (u . (b - a)).
          const double along = R(layout.index(term, a, 0), c) * (pb.y - pa.y) +
                               R(layout.index(term, a, 1), c) * (pb.z - pa.z);
          R(layout.index(term, b, 2), c) = R(layout.index(term, a, 2), c) - k * along;
        }
        done[static_cast<std::size_t>(b)] = 1;
        stack.push_back(b);
      }
    }
  }
  return R;
}

// GD: the part of GDL whose frame bending is orthogonal to L's, with the
// work norm deciding within L's motions that the frame cannot feel.
Matrix warpingDriven(const Matrix& inside, const Matrix& local, const Sparse& frame,
                     const Sparse& work) {
  const Matrix frameL = local.transpose() * (frame * local);
  Eigen::SelfAdjointEigenSolver<Matrix> eigen(frameL);
  const double largest = std::max(eigen.eigenvalues().maxCoeff(), 0.0);
  std::vector<Eigen::Index> felt, unfelt;
  for (Eigen::Index i = 0; i < frameL.rows(); ++i) {
    (eigen.eigenvalues()[i] > 1e-12 * largest ? felt : unfelt).push_back(i);
  }
  const Matrix bending = (frame * local).transpose() * inside;
  const Matrix weighted = (work * local).transpose() * inside;
  Matrix conditions(frameL.rows(), inside.cols());
  Eigen::Index row = 0;
  for (Eigen::Index i : felt) {
    conditions.row(row++) = eigen.eigenvectors().col(i).transpose() * bending;
  }
  for (Eigen::Index i : unfelt) {
    conditions.row(row++) = eigen.eigenvectors().col(i).transpose() * weighted;
  }
  return inside * nullSpace(conditions);
}

// The rigid motions parted by whether L holds them without their warping
// (a flat plate bent about its weak axis, an angle twisted about its
// corner, sharp or rounded): those stay local, as in the classical
// definition, and the frame cannot feel them.
struct RigidParts {
  Matrix global;  // axial shortening and the motions L cannot hold, with their warping
  Matrix held;    // the motions L holds, without warping, orthonormal
};

RigidParts splitRigidMotions(const Matrix& rigid, const Layout& layout, const Matrix& local,
                             const Sparse& work) {
  Matrix axial(rigid.rows(), layout.terms), inPlane(rigid.rows(), 3 * layout.terms);
  for (int term = 0; term < layout.terms; ++term) {
    axial.col(term) = rigid.col(4 * term);
    inPlane.middleCols(3 * term, 3) = rigid.middleCols(4 * term + 1, 3);
  }
  // The in-plane motions without their warping, each of work norm 1.
  Matrix flat = inPlane;
  for (int i = 0; i < layout.nodes * layout.terms; ++i) flat.row(4 * i + 2).setZero();
  for (Eigen::Index c = 0; c < flat.cols(); ++c) {
    const double norm = workNormOf(flat.col(c), work);
    flat.col(c) /= norm;
    inPlane.col(c) /= norm;
  }
  const Matrix outside = flat - local * (local.transpose() * (work * flat));
  Eigen::SelfAdjointEigenSolver<Matrix> eigen(outside.transpose() * (work * outside));
  std::vector<Eigen::Index> inLocal;
  for (Eigen::Index i = 0; i < flat.cols(); ++i) {
    if (eigen.eigenvalues()[i] < 1e-10) inLocal.push_back(i);
  }
  Matrix still(flat.cols(), Eigen::Index(inLocal.size()));
  for (std::size_t c = 0; c < inLocal.size(); ++c) {
    still.col(Eigen::Index(c)) = eigen.eigenvectors().col(inLocal[c]);
  }
  RigidParts parts;
  parts.global = orthonormal(columnsOf(axial, inPlane * nullSpace(still.transpose())), work);
  parts.held = orthonormal(flat * still, work);
  return parts;
}

// GD without G + D + L. A vector of G + D + L without warping is in L, so
// GDL's vectors that carry its independent warping patterns, less their
// parts in L, span G + D + L with L. GD keeps warpingDriven's conditions:
// L^T F x = 0, and H^T W x = 0 for the rigid motions H that L holds (the
// frame cannot feel them). A vector c W-orthogonal to L keeps the second;
// c - L y keeps both when (L^T F L) y = L^T F c with y orthogonal to
// L^T W H, H's coordinates in L, which span the null space of L^T F L.
Result warpingDrivenOnce(const Matrix& gdl, const FactoredSpace& factoredLocal, const Matrix& held,
                         const Sparse& frame, const Sparse& work, const Layout& layout,
                         Matrix& gd) {
  const Matrix& local = factoredLocal.basis;
  // The warping of every GDL vector, weighted by each node's share of the
  // work norm, so that short strips count as little as they weigh.
  Matrix warping(layout.nodes * layout.terms, gdl.cols());
  for (Eigen::Index i = 0; i < warping.rows(); ++i) {
    warping.row(i) = std::sqrt(work.coeff(4 * i + 2, 4 * i + 2)) * gdl.row(4 * i + 2);
  }
  Eigen::ColPivHouseholderQR<Matrix> qr(warping);
  qr.setThreshold(kRankTolerance);
  // Carriers that differ from L's vectors too little for orthonormal's rank
  // test, the warping that turns a very small arc, are left out by it.
  Matrix carriers(gdl.rows(), qr.rank());
  for (Eigen::Index c = 0; c < qr.rank(); ++c) {
    carriers.col(c) = gdl.col(qr.colsPermutation().indices()[c]);
  }
  carriers = orthonormal(carriers - local * (local.transpose() * (work * carriers)), work);
  Matrix bending = factoredLocal.product(frame);
  const Matrix heldIn = local.transpose() * (work * held);
  // The null space filled at the scale of the bending, which leaves y as it is.
  bending += (bending.diagonal().maxCoeff() * heldIn) * heldIn.transpose();
  Eigen::LLT<Matrix> factor(bending);
  if (factor.info() != Eigen::Success) {
    return Result::failed("the local space could not be parted from the distortional one");
  }
  gd = orthonormal(carriers - local * factor.solve(local.transpose() * (frame * carriers)), work);
  return Result::success();
}

// The refusals that buildModalSpaces and the builder share.
Result checkInputs(const StripModel& model, const FoldStructure& folds,
                   const std::vector<double>& wavenumbers, const Sparse& work) {
  for (double k : wavenumbers) {
    if (!(std::isfinite(k) && k > 0)) return Result::failure("a wavenumber is not above 0");
  }
  const Layout layout{int(model.nodes.size()), int(wavenumbers.size())};
  if (layout.terms == 0 || work.rows() != layout.size() || work.cols() != layout.size() ||
      folds.foldOf.size() != model.nodes.size()) {
    return Result::failure("the work norm or the folds do not fit the model");
  }
  return Result::success();
}

Result notAddingUp(Eigen::Index combined, Eigen::Index inside) {
  return Result::failed("the spaces G, D and L do not add up to G + D + L (" +
                        std::to_string(combined) + " of " + std::to_string(inside) +
                        " directions)");
}

// D: the warping patterns of GD orthogonal to G's in t v^2, each term's
// own; and the check that G, D and L together have the dimension of
// G + D + L.
Result distortionalPart(const StripModel& model, const Layout& layout, const Matrix& gd,
                        const Sparse& work, Eigen::Index inside, ModalSpaces& spaces) {
  const Sparse warping = warpingProduct(model, layout);
  spaces.distortional =
      orthonormal(gd * nullSpace(spaces.global.transpose() * (warping * gd)), work);
  const Eigen::Index combined =
      spaces.global.cols() + spaces.distortional.cols() + spaces.local.cols();
  if (combined != inside) return notAddingUp(combined, inside);
  return Result::success();
}

// G, D and L at the wavenumbers, each orthonormal in the work norm, from the
// definitions as they read.
Result constructSpaces(const StripModel& model, const FoldStructure& folds,
                       const std::vector<double>& wavenumbers, const Sparse& work,
                       ModalSpaces& spaces) {
  const Layout layout{int(model.nodes.size()), int(wavenumbers.size())};
  RawSpace exact = RawBuilder(model, folds, layout, true).build(wavenumbers);
  RawSpace still = RawBuilder(model, folds, layout, false).build(wavenumbers);
  const Matrix gdlExact = exact.displacement * nullSpace(exact.constraint);
  spaces.local = orthonormal(still.displacement * nullSpace(still.constraint), work);
  const Matrix inside = orthonormal(columnsOf(gdlExact, spaces.local), work);
  const Sparse frame = frameStiffness(model, layout);
  const Matrix gd = orthonormal(warpingDriven(inside, spaces.local, frame, work), work);
  spaces.global =
      splitRigidMotions(rigidMotions(model, folds, layout, wavenumbers), layout, spaces.local, work)
          .global;
  return distortionalPart(model, layout, gd, work, inside.cols(), spaces);
}

// The same spaces by warpingDrivenOnce, which needs neither G + D + L nor
// the frame's modes in L: the construction done once per model.
Result constructSpacesOnce(const StripModel& model, const FoldStructure& folds,
                           const std::vector<double>& wavenumbers, const Sparse& work,
                           ModalSpaces& spaces) {
  const Layout layout{int(model.nodes.size()), int(wavenumbers.size())};
  // The raw spaces are sparse: each parameter moves a fold or a wall node.
  RawSpace exact = RawBuilder(model, folds, layout, true).build(wavenumbers);
  RawSpace still = RawBuilder(model, folds, layout, false).build(wavenumbers);
  // L's raw columns are independent: each parameter moves freedoms of its own.
  const FactoredSpace local =
      orthonormalIndependent(still.displacement.sparseView(), nullSpace(still.constraint), work);
  spaces.local = local.basis;
  const RigidParts rigid = splitRigidMotions(rigidMotions(model, folds, layout, wavenumbers),
                                             layout, spaces.local, work);
  spaces.global = rigid.global;
  Matrix gd;
  const Result parted =
      warpingDrivenOnce(Sparse(exact.displacement.sparseView()) * nullSpace(exact.constraint),
                        local, rigid.held, frameStiffness(model, layout), work, layout, gd);
  if (!parted) return parted;
  // G + D + L is GD beside L.
  return distortionalPart(model, layout, gd, work, gd.cols() + spaces.local.cols(), spaces);
}

// Readies the spaces for splitting a mode into its parts: the Schur
// complement of L (orthonormal) in the Gram matrix of [G D L], from
// [G D]^T W [G D] and cross = [G D]^T W L.
Result settle(const Matrix& gdGram, const Matrix& cross, ModalSpaces& spaces) {
  spaces.crossLocal = cross;
  spaces.reduced.compute(gdGram - cross * cross.transpose());
  if (spaces.reduced.info() != Eigen::Success) {
    return Result::failed("the spaces G, D and L are not independent at this wavenumber");
  }
  return Result::success();
}

// [G D] in one matrix.
Matrix globalAndDistortional(const ModalSpaces& spaces) {
  return columnsOf(spaces.global, spaces.distortional);
}

// Every term's warping (v) rows of X times that term's factor.
void scaleWarping(const std::vector<double>& factors, int nodes, Matrix& X) {
  for (std::size_t term = 0; term < factors.size(); ++term) {
    for (int i = 0; i < nodes; ++i) X.row(4 * (int(term) * nodes + i) + 2) *= factors[term];
  }
}

bool couplesWarping(const Sparse& work) {
  for (Eigen::Index c = 0; c < work.outerSize(); ++c) {
    for (Sparse::InnerIterator it(work, c); it; ++it) {
      if ((it.row() % 4 == 2) != (it.col() % 4 == 2) && it.value() != 0) return true;
    }
  }
  return false;
}

}  // namespace

Sparse workNorm(const StripModel& model, double L) {
  return workNorm(model, EndConditions::SS, L, 1);
}

// The strip system solves in its own units (lengths / D, theta as it is):
// x_s = T x with T = 1 / D on the displacements, 1 on theta. Its Kg is the
// model's over D^4 (thickness, width and the displacement squared, each
// over D), so T Kg_s T D^4 is the model's own geometric stiffness.
Sparse workNorm(const StripModel& model, EndConditions ends, double a, int terms) {
  const StripSystem system(model, StressField{1, 0, 0}, ends);
  const double D = system.lengthScale();
  Vector T = Vector::Constant(4 * system.nodeCount() * std::max(terms, 0), 1 / D);
  for (Eigen::Index i = 3; i < T.size(); i += 4) T[i] = 1;
  const double D2 = D * D;
  const Sparse work = T.asDiagonal() * solvedWorkNorm(system, a / D, terms) * T.asDiagonal();
  return work * (D2 * D2);
}

Sparse solvedWorkNorm(const StripSystem& system, double aScaled, int terms) {
  std::vector<int> numbers(static_cast<std::size_t>(std::max(terms, 0)));
  for (int m = 1; m <= terms; ++m) numbers[static_cast<std::size_t>(m - 1)] = m;
  Sparse Kg;
  system.assembleUniformGeometric(aScaled * system.lengthScale(), numbers, Kg);
  // Every integral along the member of Kg scales as 1 / a: for the first
  // S-S term it is k^2 a / 2 with k = pi / a.
  return Kg * (2 * aScaled / (kPi * kPi));
}

Result buildModalSpaces(const StripModel& model, const FoldStructure& folds,
                        const std::vector<double>& wavenumbers, const Sparse& work,
                        ModalSpaces& spaces) {
  if (Result checked = checkInputs(model, folds, wavenumbers, work); !checked) return checked;
  if (Result built = constructSpaces(model, folds, wavenumbers, work, spaces); !built) return built;
  spaces.work = work;
  const Matrix gd = globalAndDistortional(spaces);
  const Matrix weighted = gd.transpose() * work;
  return settle(weighted * gd, weighted * spaces.local, spaces);
}

namespace {

// The folds of a model prepared for one term, refused above kMostModalNodes.
Result oneTermFolds(const StripModel& model, FoldStructure& folds) {
  if (model.nodes.size() > std::size_t(kMostModalNodes)) {
    return Result::refused("its model has " + std::to_string(model.nodes.size()) +
                           " nodes, more than the " + std::to_string(kMostModalNodes) +
                           " that the modal spaces are computed for");
  }
  return findFolds(model, folds);
}

}  // namespace

// The work norm at the length folds.size: the same at every length.
Result ModalSpaceBuilder::prepare(const StripModel& model) {
  *this = ModalSpaceBuilder();
  FoldStructure folds;
  if (Result found = oneTermFolds(model, folds); !found) return found;
  return prepare(model, folds, 1, workNorm(model, folds.size));
}

Result ModalSpaceBuilder::prepare(const StripSystem& system) {
  const StripModel& model = system.scaled();
  // The one-term work norm is that of S-S ends: another system's integrals differ.
  if (system.ends() != EndConditions::SS) return prepare(model);
  *this = ModalSpaceBuilder();
  FoldStructure folds;
  if (Result found = oneTermFolds(model, folds); !found) return found;
  return prepare(model, folds, 1, solvedWorkNorm(system, folds.size, 1));
}

Result ModalSpaceBuilder::prepare(const StripModel& model, const FoldStructure& folds, int terms,
                                  const Sparse& work) {
  *this = ModalSpaceBuilder();
  if (folds.foldOf.size() != model.nodes.size() || !(folds.size > 0) || terms < 1) {
    return Result::failure("the work norm or the folds do not fit the model");
  }
  const std::vector<double> reference(static_cast<std::size_t>(terms), 1 / folds.size);
  if (Result checked = checkInputs(model, folds, reference, work); !checked) return checked;
  if (couplesWarping(work)) {
    return Result::failure("the work norm couples the warping with the motions in the plane");
  }
  ModalSpaces spaces;
  if (Result built = constructSpacesOnce(model, folds, reference, work, spaces); !built) {
    return built;
  }
  nodes_ = int(model.nodes.size());
  terms_ = terms;
  globalColumns_ = spaces.global.cols();
  scaled_ = globalAndDistortional(spaces);
  crossLocal_ = (work * scaled_).transpose() * spaces.local;
  scaleWarping(std::vector<double>(reference.size(), folds.size), nodes_, scaled_);
  local_ = spaces.local;
  work_ = work;
  return Result::success();
}

Result ModalSpaceBuilder::spacesAt(const std::vector<double>& wavenumbers,
                                   ModalSpaces& spaces) const {
  for (double k : wavenumbers) {
    if (!(std::isfinite(k) && k > 0)) return Result::failure("a wavenumber is not above 0");
  }
  if (terms_ == 0) return Result::failure("the modal spaces were not prepared");
  if (int(wavenumbers.size()) != terms_) {
    return Result::failure("the wavenumbers do not fit the prepared terms");
  }
  Matrix gd = scaled_;
  scaleWarping(wavenumbers, nodes_, gd);
  const Matrix gram = gd.transpose() * (work_ * gd);
  const Eigen::Index g = globalColumns_, d = gd.cols() - g;
  const Matrix toGlobal = orthonormalCoefficients(gram.topLeftCorner(g, g));
  const Matrix toDistortional = orthonormalCoefficients(gram.bottomRightCorner(d, d));
  if (toGlobal.cols() != g || toDistortional.cols() != d) {
    return notAddingUp(toGlobal.cols() + toDistortional.cols() + local_.cols(),
                       gd.cols() + local_.cols());
  }
  spaces.global = gd.leftCols(g) * toGlobal;
  spaces.distortional = gd.rightCols(d) * toDistortional;
  spaces.local = local_;
  spaces.work = work_;
  Matrix coefficients = Matrix::Zero(g + d, g + d);
  coefficients.topLeftCorner(g, g) = toGlobal;
  coefficients.bottomRightCorner(d, d) = toDistortional;
  return settle(coefficients.transpose() * gram * coefficients,
                coefficients.transpose() * crossLocal_, spaces);
}

Matrix spaceBasis(const ModalSpaces& spaces, unsigned classes) {
  Matrix basis(spaces.local.rows(), 0);
  auto add = [&](const Matrix& columns) { basis = columnsOf(basis, columns); };
  if (classes & kGlobal) add(spaces.global);
  if (classes & kDistortional) add(spaces.distortional);
  if (classes & kLocal) add(spaces.local);
  if (classes & kOther) {
    const Matrix inside = columnsOf(globalAndDistortional(spaces), spaces.local);
    const Matrix weighted = (spaces.work * inside).transpose();
    add(orthonormal(nullSpace(weighted), spaces.work));
  }
  return basis;
}

// The coordinates c of the mode's part in G + D + L solve (C^T W C) c =
// C^T W mode with C = [G D L]; L's block of C^T W C is the identity, so
// that only the small Schur complement of G and D is factorised.
ModeShares modeParts(const ModalSpaces& spaces, const Vector& mode) {
  const Vector weighted = spaces.work * mode;
  const Eigen::Index g = spaces.global.cols(), d = spaces.distortional.cols();
  Vector inGD(g + d);
  inGD << spaces.global.transpose() * weighted, spaces.distortional.transpose() * weighted;
  const Vector inL = spaces.local.transpose() * weighted;
  const Vector gd = spaces.reduced.solve(inGD - spaces.crossLocal * inL);
  const Vector l = inL - spaces.crossLocal.transpose() * gd;
  const Vector other =
      mode - spaces.global * gd.head(g) - spaces.distortional * gd.tail(d) - spaces.local * l;
  return {gd.head(g).squaredNorm(), gd.tail(d).squaredNorm(), l.squaredNorm(),
          std::max(0.0, other.dot(spaces.work * other))};
}

ModeShares sharesOfParts(const ModeShares& parts) {
  const double sum = parts.global + parts.distortional + parts.local + parts.other;
  ModeShares shares;
  if (!(sum > 0)) return shares;
  shares.global = 100 * parts.global / sum;
  shares.distortional = 100 * parts.distortional / sum;
  shares.local = 100 * parts.local / sum;
  shares.other = 100 * parts.other / sum;
  return shares;
}

ModeShares modeShares(const ModalSpaces& spaces, const Vector& mode) {
  return sharesOfParts(modeParts(spaces, mode));
}

bool ModalSpaceBuilder::hasDeformation(unsigned classes) const {
  const Eigen::Index distortional = scaled_.cols() - globalColumns_;
  return ((classes & kGlobal) && globalColumns_ > 0) ||
         ((classes & kDistortional) && distortional > 0) ||
         ((classes & kLocal) && local_.cols() > 0);
}
