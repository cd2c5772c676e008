#include "strip/fold_structure.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// A smaller change of direction (radians) is no corner: the noise of
// coordinates written with six digits stays far below it.
const double kStraightTurn = 1e-3;
// Plates of one arc agree in width and in their steps within this share.
const double kArcAgreement = 0.02;

struct Neighbour {
  int strip;
  int node;
};

using Adjacency = std::vector<std::vector<Neighbour>>;

Adjacency adjacencyOf(const StripModel& model) {
  Adjacency adjacent(model.nodes.size());
  for (std::size_t s = 0; s < model.strips.size(); ++s) {
    const Strip& strip = model.strips[s];
    adjacent[static_cast<std::size_t>(strip.first)].push_back({int(s), strip.second});
    adjacent[static_cast<std::size_t>(strip.second)].push_back({int(s), strip.first});
  }
  return adjacent;
}

Result checkOpenTree(const StripModel& model, const Adjacency& adjacent) {
  if (model.nodes.empty()) return Result::failure("the section has no strips");
  std::vector<char> seen(model.nodes.size(), 0);
  std::vector<int> stack{0};
  seen[0] = 1;
  std::size_t reached = 1;
  while (!stack.empty()) {
    const int node = stack.back();
    stack.pop_back();
    for (const Neighbour& n : adjacent[static_cast<std::size_t>(node)]) {
      if (seen[static_cast<std::size_t>(n.node)]) continue;
      seen[static_cast<std::size_t>(n.node)] = 1;
      ++reached;
      stack.push_back(n.node);
    }
  }
  if (reached != model.nodes.size()) {
    return Result::failure("its parts do not touch: the modal spaces need one connected section");
  }
  if (model.strips.size() + 1 != model.nodes.size()) {
    return Result::failure("it has a closed cell: the modal spaces are defined for open sections");
  }
  return Result::success();
}

double directionY(const StripModel& m, int from, int to) {
  const StripNode& a = m.nodes[static_cast<std::size_t>(from)];
  const StripNode& b = m.nodes[static_cast<std::size_t>(to)];
  return (b.y - a.y) / std::hypot(b.y - a.y, b.z - a.z);
}

double directionZ(const StripModel& m, int from, int to) {
  const StripNode& a = m.nodes[static_cast<std::size_t>(from)];
  const StripNode& b = m.nodes[static_cast<std::size_t>(to)];
  return (b.z - a.z) / std::hypot(b.y - a.y, b.z - a.z);
}

// The signed turn (radians) from the direction (ay, az) to (by, bz).
double turnBetween(double ay, double az, double by, double bz) {
  return std::atan2(ay * bz - az * by, ay * by + az * bz);
}

// A node that the strips add inside a plate (no file node) never turns.
bool isTurning(const StripModel& model, const Adjacency& adjacent, int node) {
  const std::vector<Neighbour>& n = adjacent[static_cast<std::size_t>(node)];
  if (n.size() != 2) return true;
  if (model.nodes[static_cast<std::size_t>(node)].fileNode == 0) return false;
  const double turn =
      turnBetween(directionY(model, n[0].node, node), directionZ(model, n[0].node, node),
                  directionY(model, node, n[1].node), directionZ(model, node, n[1].node));
  return std::fabs(turn) > kStraightTurn;
}

// A flat run of strips between two turning nodes, as first found.
struct Run {
  std::vector<int> nodes;
  std::vector<int> strips;
  double length = 0.0;
  bool arc = false;
};

std::vector<Run> flatRuns(const StripModel& model, const Adjacency& adjacent,
                          const std::vector<char>& turning) {
  std::vector<Run> runs;
  std::vector<char> used(model.strips.size(), 0);
  for (std::size_t start = 0; start < model.nodes.size(); ++start) {
    if (!turning[start]) continue;
    for (const Neighbour& first : adjacent[start]) {
      if (used[static_cast<std::size_t>(first.strip)]) continue;
      Run run;
      run.nodes.push_back(int(start));
      Neighbour step = first;
      for (;;) {
        used[static_cast<std::size_t>(step.strip)] = 1;
        run.strips.push_back(step.strip);
        run.nodes.push_back(step.node);
        if (turning[static_cast<std::size_t>(step.node)]) break;
        const std::vector<Neighbour>& next = adjacent[static_cast<std::size_t>(step.node)];
        step = next[0].strip == step.strip ? next[1] : next[0];
      }
      const StripNode& a = model.nodes[static_cast<std::size_t>(run.nodes.front())];
      const StripNode& b = model.nodes[static_cast<std::size_t>(run.nodes.back())];
      run.length = std::hypot(b.y - a.y, b.z - a.z);
      runs.push_back(run);
    }
  }
  return runs;
}

bool agree(double a, double b, double scale) {
  return std::fabs(a - b) <= kArcAgreement * std::fabs(scale);
}

// A chain of runs joined at nodes of two plates, each run oriented along it.
struct Chain {
  std::vector<int> runs;
  std::vector<double> dy, dz;  // oriented directions
};

// The chains: from every run end that is not a node of two plates, along
// the runs joined at nodes of two plates.
std::vector<Chain> chainsOf(const StripModel& model, const Adjacency& adjacent,
                            const std::vector<Run>& runs) {
  std::vector<std::vector<int>> runsAt(model.nodes.size());
  for (std::size_t r = 0; r < runs.size(); ++r) {
    runsAt[static_cast<std::size_t>(runs[r].nodes.front())].push_back(int(r));
    runsAt[static_cast<std::size_t>(runs[r].nodes.back())].push_back(int(r));
  }
  std::vector<char> used(runs.size(), 0);
  std::vector<Chain> chains;
  for (std::size_t node = 0; node < model.nodes.size(); ++node) {
    if (adjacent[node].size() == 2) continue;
    for (int r : runsAt[node]) {
      if (used[static_cast<std::size_t>(r)]) continue;
      Chain chain;
      int at = int(node);
      while (r >= 0 && !used[static_cast<std::size_t>(r)]) {
        used[static_cast<std::size_t>(r)] = 1;
        const Run& run = runs[static_cast<std::size_t>(r)];
        const int to = run.nodes.front() == at ? run.nodes.back() : run.nodes.front();
        chain.runs.push_back(r);
        chain.dy.push_back(directionY(model, at, to));
        chain.dz.push_back(directionZ(model, at, to));
        at = to;
        const std::vector<int>& there = runsAt[static_cast<std::size_t>(at)];
        r = there.size() == 2 ? (there[0] == r ? there[1] : there[0]) : -1;
      }
      chains.push_back(chain);
    }
  }
  return chains;
}

// Marks the runs of every arc in a chain: runs i..j (not the chain's first
// or last) of equal length whose inner turns are equal and whose two end
// turns are half of them.
void markArcs(const Chain& chain, std::vector<Run>& runs) {
  const int n = int(chain.runs.size());
  auto length = [&](int i) { return runs[static_cast<std::size_t>(chain.runs[i])].length; };
  auto turn = [&](int i) {  // from run i - 1 to run i
    return turnBetween(chain.dy[i - 1], chain.dz[i - 1], chain.dy[i], chain.dz[i]);
  };
  int i = 1;
  while (i <= n - 3) {
    const double step = turn(i + 1);
    int j = i + 1;
    bool equal = agree(length(j), length(i), length(i)) && std::fabs(step) > kStraightTurn;
    if (equal) {
      while (j + 1 <= n - 2 && agree(length(j + 1), length(i), length(i)) &&
             agree(turn(j + 1), step, step)) {
        ++j;
      }
    }
    if (equal && agree(turn(i), step / 2, step) && agree(turn(j + 1), step / 2, step)) {
      for (int k = i; k <= j; ++k) runs[static_cast<std::size_t>(chain.runs[k])].arc = true;
      i = j + 1;
    } else {
      ++i;
    }
  }
}

// Where the lines of the two runs cross; the mean of the fold's nodes when
// they are parallel.
void placePivot(const StripModel& model, const Run& before, const Run& after, Fold& fold) {
  const StripNode& p = model.nodes[static_cast<std::size_t>(before.nodes.front())];
  const StripNode& q = model.nodes[static_cast<std::size_t>(after.nodes.front())];
  const double ay = directionY(model, before.nodes.front(), before.nodes.back());
  const double az = directionZ(model, before.nodes.front(), before.nodes.back());
  const double by = directionY(model, after.nodes.front(), after.nodes.back());
  const double bz = directionZ(model, after.nodes.front(), after.nodes.back());
  const double cross = ay * bz - az * by;
  if (std::fabs(cross) > 1e-6) {
    const double s = ((q.y - p.y) * bz - (q.z - p.z) * by) / cross;
    fold.pivotY = p.y + s * ay;
    fold.pivotZ = p.z + s * az;
    return;
  }
  double y = 0, z = 0;
  for (int node : fold.nodes) {
    y += model.nodes[static_cast<std::size_t>(node)].y;
    z += model.nodes[static_cast<std::size_t>(node)].z;
  }
  fold.pivotY = y / double(fold.nodes.size());
  fold.pivotZ = z / double(fold.nodes.size());
}

// One fold per arc of a chain: its runs' nodes and strips, its pivot where
// the flat runs on either side meet.
void addArcFolds(const StripModel& model, const Chain& chain, const std::vector<Run>& runs,
                 FoldStructure& s) {
  const int n = int(chain.runs.size());
  for (int i = 1; i + 1 < n; ++i) {
    if (!runs[static_cast<std::size_t>(chain.runs[i])].arc) continue;
    int j = i;
    while (j + 1 < n && runs[static_cast<std::size_t>(chain.runs[j + 1])].arc) ++j;
    Fold fold;
    for (int k = i; k <= j; ++k) {
      const Run& run = runs[static_cast<std::size_t>(chain.runs[k])];
      const bool forward =
          directionY(model, run.nodes.front(), run.nodes.back()) * chain.dy[k] +
              directionZ(model, run.nodes.front(), run.nodes.back()) * chain.dz[k] >
          0;
      std::vector<int> nodes = run.nodes;
      std::vector<int> strips = run.strips;
      if (!forward) {
        std::reverse(nodes.begin(), nodes.end());
        std::reverse(strips.begin(), strips.end());
      }
      for (std::size_t p = fold.nodes.empty() ? 0 : 1; p < nodes.size(); ++p) {
        fold.nodes.push_back(nodes[p]);
      }
      fold.strips.insert(fold.strips.end(), strips.begin(), strips.end());
    }
    placePivot(model, runs[static_cast<std::size_t>(chain.runs[i - 1])],
               runs[static_cast<std::size_t>(chain.runs[j + 1])], fold);
    for (int node : fold.nodes) s.foldOf[static_cast<std::size_t>(node)] = int(s.folds.size());
    s.folds.push_back(fold);
    i = j;
  }
}

std::vector<char> turningNodes(const StripModel& model, const Adjacency& adjacent) {
  std::vector<char> turning(model.nodes.size());
  for (std::size_t i = 0; i < model.nodes.size(); ++i) {
    turning[i] = isTurning(model, adjacent, int(i));
  }
  return turning;
}

}  // namespace

std::vector<char> arcStrips(const StripModel& model) {
  const Adjacency adjacent = adjacencyOf(model);
  std::vector<Run> runs = flatRuns(model, adjacent, turningNodes(model, adjacent));
  for (const Chain& chain : chainsOf(model, adjacent, runs)) markArcs(chain, runs);
  std::vector<char> arc(model.strips.size(), 0);
  for (const Run& run : runs) {
    for (int strip : run.strips) arc[static_cast<std::size_t>(strip)] = run.arc;
  }
  return arc;
}

Result findFolds(const StripModel& model, FoldStructure& s) {
  s = FoldStructure();
  const Adjacency adjacent = adjacencyOf(model);
  if (Result open = checkOpenTree(model, adjacent); !open) return open;
  double yMin = HUGE_VAL, yMax = -HUGE_VAL, zMin = HUGE_VAL, zMax = -HUGE_VAL;
  for (const StripNode& n : model.nodes) {
    yMin = std::min(yMin, n.y), yMax = std::max(yMax, n.y);
    zMin = std::min(zMin, n.z), zMax = std::max(zMax, n.z);
  }
  s.size = std::max(yMax - yMin, zMax - zMin);
  const std::vector<char> turning = turningNodes(model, adjacent);
  std::vector<Run> runs = flatRuns(model, adjacent, turning);
  const std::vector<Chain> chains = chainsOf(model, adjacent, runs);
  for (const Chain& chain : chains) markArcs(chain, runs);
  s.foldOf.assign(model.nodes.size(), -1);
  s.wallOf.assign(model.nodes.size(), -1);
  for (const Chain& chain : chains) addArcFolds(model, chain, runs, s);
  for (std::size_t i = 0; i < model.nodes.size(); ++i) {
    if (!turning[i] || s.foldOf[i] >= 0) continue;
    Fold fold;
    fold.nodes.push_back(int(i));
    fold.pivotY = model.nodes[i].y;
    fold.pivotZ = model.nodes[i].z;
    s.foldOf[i] = int(s.folds.size());
    s.folds.push_back(fold);
  }
  for (const Run& run : runs) {
    if (run.arc) continue;
    Wall wall;
    wall.nodes = run.nodes;
    wall.firstFold = s.foldOf[static_cast<std::size_t>(run.nodes.front())];
    wall.lastFold = s.foldOf[static_cast<std::size_t>(run.nodes.back())];
    wall.length = run.length;
    wall.ey = directionY(model, run.nodes.front(), run.nodes.back());
    wall.ez = directionZ(model, run.nodes.front(), run.nodes.back());
    for (std::size_t k = 1; k + 1 < run.nodes.size(); ++k) {
      s.wallOf[static_cast<std::size_t>(run.nodes[k])] = int(s.walls.size());
    }
    s.walls.push_back(wall);
  }
  return Result::success();
}
