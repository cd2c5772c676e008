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

// The rounding's own types, defined in rounding/corner_rounding.h; the
// members below only name them.
struct NodePlates;
struct CornerArc;
struct RoundingReport;

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
  // Turns are taken the short way round. When R does not fit a corner, the
  // section is left unchanged and the report names every such corner.
  // Sections whose Typ is not 1 pass unchanged.
  RoundingReport roundCorners(double radius, int elementsPerCorner, bool convex,
                              std::vector<int> divisionNumbers);
  // Checks that the plates form one open chain numbered along its plates.
  Result checkChain() const;
  // The plates at a node, by a scan of every plate (a later match wins).
  NodePlates findPlatesAtNode(int node) const;
  // The same for every node at once, by the same rule, in one pass.
  std::vector<NodePlates> platesAtEveryNode() const;
  bool isCorner(int node) const;
  bool isCorner(int node, const NodePlates& plates) const;
  CornerArc computeCornerArc(double radius, int elementsPerCorner, int node) const;
  CornerArc computeCornerArc(double radius, int elementsPerCorner, const NodePlates& plates) const;
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
  // The arc of a corner tested against the given (possibly shortened) widths.
  CornerArc arcBetween(double radius, int elementsPerCorner, const NodePlates& plates,
                       const RealList& widths) const;
  // The plates that a rounding makes: every piece and every arc plate.
  long long countRoundedPlates(bool rounding, int elementsPerCorner,
                               const std::vector<NodePlates>& platesAt,
                               const std::vector<int>& divisionNumbers) const;
};

// Equal when every member that the file holds is equal .
bool sameFileContents(const CrossSection& a, const CrossSection& b);
