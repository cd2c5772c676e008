#include "strip/strip_system.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

struct StripGeometry {
  double b, c, s, t;
};

StripGeometry geometryOf(const StripModel& model, const Strip& strip) {
  const StripNode& a = model.nodes[static_cast<std::size_t>(strip.first)];
  const StripNode& b = model.nodes[static_cast<std::size_t>(strip.second)];
  const double width = std::hypot(b.y - a.y, b.z - a.z);
  return {width, (b.y - a.y) / width, (b.z - a.z) / width, strip.t};
}

bool alike(const StripGeometry& x, const StripGeometry& y) {
  const double tolerance = 1e-12;
  return std::fabs(x.b - y.b) <= tolerance * x.b && std::fabs(x.c - y.c) <= tolerance &&
         std::fabs(x.s - y.s) <= tolerance && x.t == y.t;
}

// A piece turned from the strip's own freedoms into the section's.
StripMatrix turned(const StripMatrix& local, const StripMatrix& r) {
  return r.transpose() * local * r;
}

StripModel scaledModel(const StripModel& model, double D) {
  double yMin = HUGE_VAL, yMax = -HUGE_VAL, zMin = HUGE_VAL, zMax = -HUGE_VAL;
  for (const StripNode& node : model.nodes) {
    yMin = std::min(yMin, node.y), yMax = std::max(yMax, node.y);
    zMin = std::min(zMin, node.z), zMax = std::max(zMax, node.z);
  }
  const double y0 = (yMin + yMax) / 2, z0 = (zMin + zMax) / 2;
  StripModel scaled = model;
  for (StripNode& node : scaled.nodes) node = {(node.y - y0) / D, (node.z - z0) / D, node.fileNode};
  for (Strip& strip : scaled.strips) strip.t /= D;
  scaled.E = 1;
  scaled.G = model.G / model.E;
  return scaled;
}

}  // namespace

StripSystem::StripSystem(const StripModel& model, const StressField& stress, EndConditions ends)
    : ends_(ends), table_(ends) {
  D_ = modelSize(model);
  if (!(D_ > 0)) D_ = 1;
  scaled_ = scaledModel(model, D_);
  double largest = 0;
  for (const StripNode& node : model.nodes) {
    nodeStress_.push_back(stress.at(node.y, node.z));
    largest = std::max(largest, std::fabs(nodeStress_.back()));
  }
  for (double& s : nodeStress_) {
    s = largest > 0 ? s / largest : 0.0;
    compressed_ = compressed_ || s > 0;
  }
  lambdaScale_ = largest > 0 ? model.E / largest : 0.0;

  const PlateMaterial material{scaled_.E, scaled_.G, scaled_.MUE};
  shapeOfStrip_.reserve(scaled_.strips.size());
  std::map<int, std::vector<int>> shapesOfPlate;
  std::vector<StripGeometry> shapes;
  narrowest_ = HUGE_VAL;
  for (const Strip& strip : scaled_.strips) {
    const StripGeometry g = geometryOf(scaled_, strip);
    narrowest_ = std::min(narrowest_, g.b / g.t);
    int shape = -1;
    for (int candidate : shapesOfPlate[strip.plate]) {
      if (alike(shapes[static_cast<std::size_t>(candidate)], g)) shape = candidate;
    }
    if (shape < 0) {
      shape = static_cast<int>(shapes.size());
      shapes.push_back(g);
      shapesOfPlate[strip.plate].push_back(shape);
      const StripMatrix r = stripRotation(g.c, g.s);
      StripPieces elastic, first, second;
      addMembrane(material, g.b, g.t, elastic);
      addBending(material, g.b, g.t, elastic);
      shapeStrains_.push_back({g.b, g.t, StripStrains(g.b, r)});
      addGeometric(g.b, g.t, 1, 0, first);
      addGeometric(g.b, g.t, 0, 1, second);
      for (StripMatrix& piece : elastic.of) piece = turned(piece, r);
      elasticPieces_.push_back(elastic);
      geometricPieces_.push_back({turned(first.of[kI5], r), turned(first.of[kI4PerKmKn], r),
                                  turned(second.of[kI5], r), turned(second.of[kI4PerKmKn], r)});
      for (const StripMatrix& piece : elastic.of) finite_ = finite_ && piece.allFinite();
    }
    shapeOfStrip_.push_back(shape);
  }
}

void StripSystem::pairBlocks(int m, int n, double aScaled, PairBlocks& blocks) const {
  const TermIntegrals integrals = table_.integrals(m, n, aScaled);
  const std::array<double, kIntegralKinds> c =
      kindMultipliers(integrals, termWaveNumber(m, aScaled), termWaveNumber(n, aScaled));
  const std::size_t shapes = elasticPieces_.size();
  blocks.elastic.resize(shapes);
  blocks.geometric1.resize(shapes);
  blocks.geometric2.resize(shapes);
  for (std::size_t s = 0; s < shapes; ++s) {
    StripMatrix& e = blocks.elastic[s];
    e.setZero();
    for (int k = 0; k < kIntegralKinds; ++k) {
      if (c[static_cast<std::size_t>(k)] != 0.0)
        e += c[static_cast<std::size_t>(k)] * elasticPieces_[s].of[k];
    }
    const GeometricPieces& g = geometricPieces_[s];
    blocks.geometric1[s] = c[kI5] * g.first5 + c[kI4PerKmKn] * g.firstKk;
    blocks.geometric2[s] = c[kI5] * g.second5 + c[kI4PerKmKn] * g.secondKk;
  }
}

void StripSystem::assemble(double a, const std::vector<int>& terms, SparseMatrix& K,
                           SparseMatrix& Kg) const {
  assembleWith(a, terms, nodeStress_, &K, Kg);
}

void StripSystem::assembleUniformGeometric(double a, const std::vector<int>& terms,
                                           SparseMatrix& Kg) const {
  assembleWith(a, terms, std::vector<double>(nodeStress_.size(), 1.0), nullptr, Kg);
}

void StripSystem::assembleWith(double a, const std::vector<int>& terms,
                               const std::vector<double>& stresses, SparseMatrix* K,
                               SparseMatrix& Kg) const {
  const int N = nodeCount();
  const int size = 4 * N * static_cast<int>(terms.size());
  std::vector<Eigen::Triplet<double>> elastic, geometric;
  PairBlocks blocks;
  for (std::size_t j = 0; j < terms.size(); ++j) {
    for (std::size_t k = 0; k < terms.size(); ++k) {
      if (!table_.coupled(terms[j], terms[k])) continue;
      pairBlocks(terms[j], terms[k], a / D_, blocks);
      for (std::size_t i = 0; i < scaled_.strips.size(); ++i) {
        const Strip& strip = scaled_.strips[i];
        const std::size_t shape = static_cast<std::size_t>(shapeOfStrip_[i]);
        const StripMatrix kg =
            stresses[static_cast<std::size_t>(strip.first)] * blocks.geometric1[shape] +
            stresses[static_cast<std::size_t>(strip.second)] * blocks.geometric2[shape];
        const int nodes[2] = {strip.first, strip.second};
        for (int r = 0; r < 8; ++r) {
          const int row = 4 * (static_cast<int>(j) * N + nodes[r / 4]) + r % 4;
          for (int s = 0; s < 8; ++s) {
            const int column = 4 * (static_cast<int>(k) * N + nodes[s / 4]) + s % 4;
            if (K) elastic.emplace_back(row, column, blocks.elastic[shape](r, s));
            geometric.emplace_back(row, column, kg(r, s));
          }
        }
      }
    }
  }
  Kg.resize(size, size);
  Kg.setFromTriplets(geometric.begin(), geometric.end());
  if (!K) return;
  K->resize(size, size);
  K->setFromTriplets(elastic.begin(), elastic.end());
}

double StripSystem::elasticEnergy(double aScaled, const std::vector<int>& terms,
                                  const Eigen::VectorXd& x) const {
  const PlateMaterial material{scaled_.E, scaled_.G, scaled_.MUE};
  const std::size_t M = terms.size(), N = static_cast<std::size_t>(nodeCount());
  const std::vector<Strip>& strips = scaled_.strips;
  std::vector<StripStrains::Projection> projections(M * strips.size());
  for (std::size_t j = 0; j < M; ++j) {
    for (std::size_t i = 0; i < strips.size(); ++i) {
      Eigen::Matrix<double, 8, 1> q;
      q.head<4>() = x.segment<4>(static_cast<Eigen::Index>(4 * (j * N + strips[i].first)));
      q.tail<4>() = x.segment<4>(static_cast<Eigen::Index>(4 * (j * N + strips[i].second)));
      shapeStrains_[static_cast<std::size_t>(shapeOfStrip_[i])].strains.project(
          q, projections[j * strips.size() + i]);
    }
  }
  double energy = 0;
  for (std::size_t j = 0; j < M; ++j) {
    for (std::size_t k = 0; k < M; ++k) {
      if (!table_.coupled(terms[j], terms[k])) continue;
      const std::array<double, kIntegralKinds> c =
          kindMultipliers(table_.integrals(terms[j], terms[k], aScaled),
                          termWaveNumber(terms[j], aScaled), termWaveNumber(terms[k], aScaled));
      for (std::size_t i = 0; i < strips.size(); ++i) {
        const ShapeStrains& shape = shapeStrains_[static_cast<std::size_t>(shapeOfStrip_[i])];
        energy +=
            shape.strains.energy(material, shape.b, shape.t, c, projections[j * strips.size() + i],
                                 projections[k * strips.size() + i]);
      }
    }
  }
  return energy;
}

void normaliseToLargestDisplacement(Eigen::VectorXd& mode, double lengthScale) {
  double size = 0;
  for (Eigen::Index i = 0; i < mode.size(); ++i) {
    if (i % 4 == 3) continue;
    mode[i] *= lengthScale;
    size = std::max(size, std::fabs(mode[i]));
  }
  if (!(size > 0)) return;
  for (Eigen::Index i = 0; i < mode.size(); ++i) {
    if (i % 4 != 3 && std::fabs(mode[i]) >= (1 - 1e-6) * size) {
      mode /= std::copysign(size, mode[i]);
      return;
    }
  }
}
