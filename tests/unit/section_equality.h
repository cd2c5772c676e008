// Equality of two sections as files see them, for the tests and the fuzz
// target: the program itself compares files by their bytes.
#pragma once

#include "section/cross_section.h"

// Equal when every member that the file holds is equal.
inline bool sameFileContents(const CrossSection& a, const CrossSection& b) {
  const SectionState& s = a.state;
  const SectionState& t = b.state;
  return a.title == b.title && a.Typ == b.Typ && a.ns == b.ns && a.nk == b.nk && a.nk1 == b.nk1 &&
         a.nk2 == b.nk2 && a.nk3 == b.nk3 && a.startNode == b.startNode && a.endNode == b.endNode &&
         a.nodeY == b.nodeY && a.nodeZ == b.nodeZ && a.nodePlateCount == b.nodePlateCount &&
         a.b_r == b.b_r && a.t_r == b.t_r && a.alpha_r == b.alpha_r && a.K_r == b.K_r &&
         a.E == b.E && a.MUE == b.MUE && a.G == b.G && a.nps == b.nps && a.ndb == b.ndb &&
         a.nsf == b.nsf && a.nlas == b.nlas && a.nlak == b.nlak && a.nla == b.nla &&
         a.edgeSupportNode == b.edgeSupportNode && a.edgeSupportCode == b.edgeSupportCode &&
         a.edgeSupportValue == b.edgeSupportValue && a.pendulumNode == b.pendulumNode &&
         a.pendulumAngle == b.pendulumAngle && a.pendulumValue == b.pendulumValue &&
         a.rotSpringPlate == b.rotSpringPlate && a.rotSpringStiffness == b.rotSpringStiffness &&
         a.rotSpringValue == b.rotSpringValue && a.shearSpringNode == b.shearSpringNode &&
         a.shearSpringAngle == b.shearSpringAngle &&
         a.shearSpringStiffness == b.shearSpringStiffness &&
         a.nodeBearingNode == b.nodeBearingNode && a.nodeBearingType == b.nodeBearingType &&
         a.nodeBearingAngle == b.nodeBearingAngle &&
         a.nodeBearingStiffness == b.nodeBearingStiffness &&
         a.plateBearingPlate == b.plateBearingPlate &&
         a.plateBearingStiffness == b.plateBearingStiffness && a.Kraft == b.Kraft &&
         a.Laenge == b.Laenge && a.explanation == b.explanation && a.FG == b.FG &&
         s.attributes == t.attributes && s.nz == t.nz && s.nzl == t.nzl && s.nzb == t.nzb &&
         s.nzd == t.nzd && s.centroidAxes[0] == t.centroidAxes[0] &&
         s.centroidAxes[1] == t.centroidAxes[1] && s.centroidAxes[2] == t.centroidAxes[2] &&
         s.centroidAxes[3] == t.centroidAxes[3];
}
