#include "section/cross_section.h"

#include <cmath>
#include <cstdio>

#include "archive/archive.h"
#include "archive/atomic_file.h"
#include "archive/numbers.h"
#include "platform/platform.h"

namespace {

// The labels of the section file. They are written to disk and read by the
// analysis programs: never change them.
const char* const kCountsLabel153 =
    "*** Typ ns nk nk1 nk2 nk3 Kraft Laenge nla nlas nlak nps ndb FG nz nzl nzb nzd ***";
const char* const kCountsLabel =
    "*** Typ ns nk nk1 nk2 nk3 Kraft Laenge nla nlas nlak nps ndb nsf FG nz nzl nzb nzd ***";
const char* const kMaterialLabel = "*** E-Modul  G-MODUL MUE ***";
const char* const kExplanationLabel = "*** Querschnittserlaeuterung ***";
const char* const kPlateNodesLabel = "*** Anfangs- Endknoten ***";
const char* const kNodesLabel = "*** Knotenkoordinaten, Scheiben ***";
const char* const kPlatesLabel = "*** Scheiben b_r t_r alpha_r K_r D_r ***";
const char* const kNoEdgeSupportsLabel = "*** Keine Randlagerungen ***";
const char* const kEdgeSupportsLabel = "*** Lagerung der Randknoten ***";
const char* const kNoPendulumsLabel = "*** Keine Pendelstaebe an Innenknoten ***";
const char* const kPendulumsLabel = "*** Pendelstaebe: Knoten, Winkel ***";
const char* const kNoRotSpringsLabel = "*** Keine Drehfedern ***";
const char* const kRotSpringsLabel = "*** Drehfedern: Scheibe, Steifigkeit ***";
const char* const kNoShearSpringsLabel = "*** Keine Schubfedern ***";
const char* const kShearSpringsLabel = "*** Schubfedern: Knoten, Winkel, Steifigkeit ***";
const char* const kBearingsLabel = "*** Lagerelemente ***";
const char* const kNodeBearingsLabel = "*** Knoten Nr. Lagertyp  Winkel Steifigkeit ***";
const char* const kPlateBearingsLabel = "*** Scheibennr.  Steifigkeit ***";
const char* const kCentroidLabel = "*** Schwerpunkt, Hauptachsen ***";
const char* const kStateLabel = "*** Zustandsattribute ***";

// The header line: the version text stands at columns 32 to 35.
const char* const kHeaderStart = "**** PLX-Datei, Formatversion = ";
const std::size_t kVersionColumn = 32;
const float kWrittenVersion = 1.54f;

const std::string kNoLabel;

// Version 1.54 added the shear springs (nsf and their block); 1.53 has none.
bool hasShearSprings(int formatVersion) { return formatVersion >= 154; }

}  // namespace

// ---- layout ----

void CrossSection::serialize(Archive& ar) {
  ar.lineItem(title);
  serializeCounts(ar);

  ar.labelLine(kMaterialLabel);
  ar.realItem(E);
  ar.realItem(G);
  ar.realItem(MUE);
  ar.endLine();

  ar.labelLine(kExplanationLabel);
  ar.textList(explanation);

  ar.labelLine(kPlateNodesLabel);
  ar.intList(ns, startNode, kNoLabel);
  ar.intList(ns, endNode, kNoLabel);

  ar.labelLine(kNodesLabel);
  ar.realList(nk, nodeY, kNoLabel);
  ar.realList(nk, nodeZ, kNoLabel);
  ar.intList(nk, nodePlateCount, kNoLabel);

  ar.labelLine(kPlatesLabel);
  ar.realList(ns, b_r, kNoLabel);
  ar.realList(ns, t_r, kNoLabel);
  ar.realList(ns, alpha_r, kNoLabel);
  ar.realList(ns, K_r, kNoLabel);

  serializeSupportsAndSprings(ar);
  serializeBearings(ar);

  ar.labelLine(kCentroidLabel);
  for (double& value : state.centroidAxes) ar.realItem(value);
  ar.endLine();

  ar.labelLine(kStateLabel);
  ar.intList(state.nz, state.attributes, kNoLabel);
  ar.endLine();
}

void CrossSection::serializeCounts(Archive& ar) {
  const bool withShearSprings = hasShearSprings(formatVersion);
  ar.labelLine(withShearSprings ? kCountsLabel : kCountsLabel153);
  for (int* count : {&Typ, &ns, &nk, &nk1, &nk2, &nk3}) ar.intItem(*count);
  ar.wordItem(Kraft);
  ar.wordItem(Laenge);
  for (int* count : {&nla, &nlas, &nlak, &nps, &ndb}) ar.intItem(*count);
  if (withShearSprings) ar.intItem(nsf);
  ar.wordItem(FG);
  for (int* count : {&state.nz, &state.nzl, &state.nzb, &state.nzd}) ar.intItem(*count);
  ar.endLine();

  // A damaged count must not size a list beyond what the file can hold.
  const std::pair<const char*, int> listCounts[] = {
      {"ns", ns},   {"nk", nk},     {"nk1", nk1},   {"nps", nps},    {"ndb", ndb},
      {"nsf", nsf}, {"nlas", nlas}, {"nlak", nlak}, {"nz", state.nz}};
  for (const auto& [name, value] : listCounts) {
    if (!ar.checkCount(name, value)) return;
  }
}

void CrossSection::serializeSupportsAndSprings(Archive& ar) {
  if (nk1 > 0) {
    ar.labelLine(kEdgeSupportsLabel);
    ar.intList(nk1, edgeSupportNode, kNoLabel);
    ar.intList(nk1, edgeSupportCode, kNoLabel);
    ar.realList(nk1, edgeSupportValue, kNoLabel);
  } else {
    ar.labelLine(kNoEdgeSupportsLabel);
  }

  if (nps > 0) {
    ar.labelLine(kPendulumsLabel);
    ar.intList(nps, pendulumNode, kNoLabel);
    ar.realList(nps, pendulumAngle, kNoLabel);
    ar.realList(nps, pendulumValue, kNoLabel);
    ar.endLine();
  } else {
    ar.labelLine(kNoPendulumsLabel);
  }

  if (ndb > 0) {
    ar.labelLine(kRotSpringsLabel);
    ar.intList(ndb, rotSpringPlate, kNoLabel);
    ar.realList(ndb, rotSpringStiffness, kNoLabel);
    ar.realList(ndb, rotSpringValue, kNoLabel);
    ar.endLine();
  } else {
    ar.labelLine(kNoRotSpringsLabel);
  }

  if (!hasShearSprings(formatVersion)) return;
  if (nsf > 0) {
    ar.labelLine(kShearSpringsLabel);
    ar.intList(nsf, shearSpringNode, kNoLabel);
    ar.realList(nsf, shearSpringAngle, kNoLabel);
    ar.realList(nsf, shearSpringStiffness, kNoLabel);
    ar.endLine();
  } else {
    ar.labelLine(kNoShearSpringsLabel);
  }
}

void CrossSection::serializeBearings(Archive& ar) {
  if (nla <= 0) return;
  ar.labelLine(kBearingsLabel);
  if (nlak > 0) {
    ar.labelLine(kNodeBearingsLabel);
    ar.intList(nlak, nodeBearingNode, kNoLabel);
    ar.intList(nlak, nodeBearingType, kNoLabel);
    ar.realList(nlak, nodeBearingAngle, kNoLabel);
    ar.realList(nlak, nodeBearingStiffness, kNoLabel);
    ar.endLine();
  }
  if (nlas > 0) {
    ar.labelLine(kPlateBearingsLabel);
    ar.intList(nlas, plateBearingPlate, kNoLabel);
    ar.realList(nlas, plateBearingStiffness, kNoLabel);
    ar.endLine();
  }
}

// ---- whole files ----

Result CrossSection::load(const std::string& fileName) {
  if (!platform::isRegularFile(fileName)) {
    return Result::failure(platform::fileExists(fileName) ? "it is not a regular file"
                                                          : "the file cannot be opened");
  }
  Archive ar(fileName, Archive::Direction::Read);
  if (!ar.good()) return Result::failure(ar.failure());

  const std::string header = ar.readLine();
  if (header.compare(0, 4, "****") != 0) {
    return Result::failure("the first line is no KAF header (it does not begin with \"****\")");
  }
  if (header.size() <= kVersionColumn) {
    return Result::failure("the header line is too short to hold a format version");
  }
  const std::string versionText = header.substr(kVersionColumn, 4);
  const double version = toFloat(versionText);
  // Only a version near the two that are read may be turned into an int.
  const bool plausible = version > 1 && version < 2;
  const int versionTimes100 = plausible ? static_cast<int>(version * 100 + 0.5) : 0;
  if (versionTimes100 != 153 && versionTimes100 != 154) {
    return Result::failure("format version \"" + versionText +
                           "\" is not supported (1.53 and 1.54 are read)");
  }
  formatVersion = versionTimes100;
  serialize(ar);
  return ar.good() ? Result::success() : Result::failure(ar.failure());
}

Result CrossSection::save(const std::string& fileName) {
  const std::string nonFinite = firstNonFiniteReal();
  if (!nonFinite.empty()) return Result::failure(nonFinite + " is not a finite number");

  // Written beside the target and renamed over it only when complete, so that
  // a failure or an interrupt never leaves a half-written file or destroys an
  // older one.
  std::string temporary;
  std::string error;
  if (!createTemporaryBeside(fileName, temporary, error)) {
    return Result::failure("cannot create the file: " + error);
  }
  return finishTemporary(temporary, fileName, writeFile(temporary));
}

Result CrossSection::writeFile(const std::string& fileName) {
  Archive ar(fileName, Archive::Direction::Write);
  std::string header = kHeaderStart + formatFixed(kWrittenVersion, 2, 4) + " ****";
  ar.lineItem(header);
  formatVersion = 154;
  serialize(ar);
  return ar.close();
}

std::string CrossSection::firstNonFiniteReal() const {
  const std::pair<const char*, const RealList*> lists[] = {
      {"nodeY", &nodeY},
      {"nodeZ", &nodeZ},
      {"b_r", &b_r},
      {"t_r", &t_r},
      {"alpha_r", &alpha_r},
      {"K_r", &K_r},
      {"an edge support value", &edgeSupportValue},
      {"a pendulum bar angle", &pendulumAngle},
      {"a pendulum bar value", &pendulumValue},
      {"a rotational spring stiffness", &rotSpringStiffness},
      {"a rotational spring value", &rotSpringValue},
      {"a shear spring angle", &shearSpringAngle},
      {"a shear spring stiffness", &shearSpringStiffness},
      {"a node bearing angle", &nodeBearingAngle},
      {"a node bearing stiffness", &nodeBearingStiffness},
      {"a plate bearing stiffness", &plateBearingStiffness}};
  for (const auto& [name, list] : lists) {
    for (std::size_t i = 0; i < list->size(); ++i) {
      if (!std::isfinite((*list)[static_cast<int>(i)])) {
        return std::string(name) + " of entry " + std::to_string(i + 1);
      }
    }
  }
  const std::pair<const char*, double> values[] = {
      {"E", E},
      {"MUE", MUE},
      {"G", G},
      {"a centroid or axis value", state.centroidAxes[0]},
      {"a centroid or axis value", state.centroidAxes[1]},
      {"a centroid or axis value", state.centroidAxes[2]},
      {"a centroid or axis value", state.centroidAxes[3]}};
  for (const auto& [name, value] : values) {
    if (!std::isfinite(value)) return name;
  }
  return std::string();
}

bool sameFileContents(const CrossSection& a, const CrossSection& b) {
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
