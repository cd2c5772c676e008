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
#include "platform/result.h"

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

class CrossSection;

// The section types (Typ) that this system knows: a section for the analysis
// without shear (MAV3), the only type that is rounded, and the same section
// for the analysis with shear (MAV4), which a round writes as its "-shear" file.
const int kPlainSectionType = 1;
const int kShearSectionType = 6;

// Pendulum bars, springs or bearing elements: what the analysis programs
// attach to nodes and plates by number.
bool hasSpringsOrBearings(const CrossSection& section);
// An edge support with a code or value other than 0 (free).
bool hasEdgeSupports(const CrossSection& section);

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
  // Writes the whole file to a new temporary file beside fileName (its name
  // in temporary), for a caller that moves several files into place
  // together (finishTemporaries). On a failure no temporary file remains.
  Result saveBeside(const std::string& fileName, std::string& temporary);

  // Fails naming the first real of the section that is not finite.
  Result checkFinite() const;

  int formatVersion = 154;
  std::string title;
  int Typ = kPlainSectionType;
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
};
