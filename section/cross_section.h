// CrossSection: the in-memory model of one thin-walled cross-section: straight
// plates between numbered nodes, material constants, units, supports, springs,
// bearing elements, explanation lines and a small state block. It is filled
// from a section file (KAF), described, rounded and written back.
//
// Members that carry the file's own labels keep the file's short names.
#pragma once

#include <string>
#include <vector>

#include "archive/checked_vector.h"
#include "archive/result.h"

class Archive;

// One plate of the derived plate table, gathered for the section description.
struct PlateRecord {
  double b_r = 0.0;
  double t_r = 0.0;
  double alpha_r = 0.0;
  double K_r = 0.0;
  int startNode = 0;
  int endNode = 0;
};

// The state block of a section; its values belong to the analysis programs.
class SectionState {
 public:
  IntList attributes;                             // "Zustandsattribute", nz entries
  double centroidAxes[4] = {0.0, 0.0, 0.0, 0.0};  // "Schwerpunkt, Hauptachsen"
  int nz = 0;
  int nzl = 0;
  int nzb = 0;
  int nzd = 0;
};

// The plates that meet at a node: indices into the per-plate lists, -1 if none.
struct NodePlates {
  int outgoing = -1;  // the plate whose start node is the node
  int incoming = -1;  // the plate whose end node is the node
};

// The circular arc that replaces one corner.
struct CornerArc {
  int elementCount = 0;        // number of arc plates
  double tangentLength = 0.0;  // corner node to each tangent point, along the plates
  double elementLength = 0.0;  // chord of one arc segment
  double angleStep = 0.0;      // change of direction between arc plates, degrees
  bool fits = false;           // both plates are long enough for the tangent length
};

// What a rounding pass reports besides the changed section.
struct RoundingReport {
  Result accepted = Result::success();  // failure: the section was left unchanged
  std::vector<int> sharpCorners;        // node numbers (loaded section) left sharp
};

// The most plates a rounding makes; beyond it a mistyped count is refused
// instead of exhausting the memory.
const long long kMaxRoundedPlates = 20000000;

class CrossSection {
 public:
  CrossSection() = default;

  // ---- file ----
  // Reads or writes everything after the header line, in the archive's direction.
  void serialize(Archive& ar);
  // Reads the whole file. On a rejected header the section keeps its values.
  Result load(const std::string& fileName);
  // Writes the whole file (version 1.54), through a temporary file that only
  // replaces fileName once every byte is written.
  Result save(const std::string& fileName);

  // ---- corner rounding ----
  // Replaces every corner of the open plate chain by n arc plates of radius R
  // and splits the straight part of plate k into divisionNumbers[k] pieces.
  // Sections whose Typ is not 1 pass unchanged.
  RoundingReport roundCorners(double radius, int elementsPerCorner, bool convex,
                              std::vector<int> divisionNumbers);
  // Checks that the plates form one open chain numbered along its plates.
  Result checkChain() const;
  NodePlates findPlatesAtNode(int node) const;
  bool isCorner(int node) const;
  CornerArc computeCornerArc(double radius, int elementsPerCorner, int node) const;
  // Rebuilds nodes, counts, coordinates and edge supports from b_r and alpha_r,
  // starting at the origin.
  void rebuildFromPlates();

  // ---- thickness ----
  // Gives every plate thickness t and the matching bending stiffness.
  Result setThickness(double t);

  // The first non-finite real of the section, described; empty if all are finite.
  std::string firstNonFiniteReal() const;

  int formatVersion = 154;
  std::string title;
  int Typ = 1;
  int ns = 0;
  int nk = 0;
  int nk1 = 0;
  int nk2 = 0;
  int nk3 = 0;
  std::vector<PlateRecord> plateTable;
  IntList startNode;
  IntList endNode;
  RealList nodeY;
  RealList nodeZ;
  IntList nodePlateCount;
  RealList b_r;
  RealList t_r;
  RealList alpha_r;
  RealList K_r;
  double E = 21000.0;
  double MUE = 0.3;
  double G = 8076.923076923076;
  int nps = 0;
  int ndb = 0;
  int nsf = 0;
  int nlas = 0;
  int nlak = 0;
  int nla = 0;
  IntList edgeSupportNode;
  IntList edgeSupportCode;
  RealList edgeSupportValue;
  IntList pendulumNode;
  RealList pendulumAngle;
  RealList pendulumValue;
  IntList rotSpringPlate;
  RealList rotSpringStiffness;
  RealList rotSpringValue;  // the third line of the rotational spring block
  IntList shearSpringNode;
  RealList shearSpringAngle;
  RealList shearSpringStiffness;
  IntList nodeBearingNode;
  IntList nodeBearingType;
  RealList nodeBearingAngle;
  RealList nodeBearingStiffness;
  IntList plateBearingPlate;
  RealList plateBearingStiffness;
  std::string Kraft = "kN";
  std::string Laenge = "mm";
  TextList explanation;
  std::string FG = "u";
  SectionState state;

 private:
  void serializeCounts(Archive& ar);
  void serializeSupportsAndSprings(Archive& ar);
  void serializeBearings(Archive& ar);
  Result writeFile(const std::string& fileName);
  // The corner test and arc of a node whose plates are already known, so that
  // the rounding pass looks them up once instead of scanning at every node.
  std::vector<NodePlates> platesAtEveryNode() const;
  bool isCornerBetween(int node, NodePlates plates) const;
  CornerArc cornerArcBetween(double radius, int elementsPerCorner, NodePlates plates) const;
};

// Equal when every member that the file holds is equal (plateTable excluded).
bool sameFileContents(const CrossSection& a, const CrossSection& b);
