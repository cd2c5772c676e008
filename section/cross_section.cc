#include "section/cross_section.h"

#include <cmath>
#include <cstdio>

#include "archive/archive.h"
#include "archive/atomic_file.h"
#include "archive/numbers.h"
#include "platform/platform.h"
#include "section/material.h"

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

// Version 1.54 added the shear springs (nsf and their block); 1.53 has none.
bool hasShearSprings(int formatVersion) { return formatVersion >= 154; }

}  // namespace

// ---- layout ----

void CrossSection::serialize(Archive& ar) {
  ar.lineItem(title);
  serializeCounts(ar);

  ar.labelLine(kMaterialLabel);
  // Six digits, or as many more as keep the material inside its rule.
  const int digits = materialDigits(E, G, MUE);
  ar.realItem(E, digits);
  ar.realItem(G, digits);
  ar.realItem(MUE, digits);
  ar.endLine();

  ar.labelLine(kExplanationLabel);
  ar.textList(explanation);

  ar.labelLine(kPlateNodesLabel);
  ar.intList("ns", ns, startNode);
  ar.intList("ns", ns, endNode);

  ar.labelLine(kNodesLabel);
  ar.realList("nk", nk, nodeY);
  ar.realList("nk", nk, nodeZ);
  ar.intList("nk", nk, nodePlateCount);

  ar.labelLine(kPlatesLabel);
  ar.realList("ns", ns, b_r);
  ar.realList("ns", ns, t_r);
  ar.realList("ns", ns, alpha_r);
  ar.realList("ns", ns, K_r);

  serializeSupportsAndSprings(ar);
  serializeBearings(ar);

  ar.labelLine(kCentroidLabel);
  for (double& value : state.centroidAxes) ar.realItem(value);
  ar.endLine();

  ar.labelLine(kStateLabel);
  ar.intList("nz", state.nz, state.attributes);
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
    ar.intList("nk1", nk1, edgeSupportNode);
    ar.intList("nk1", nk1, edgeSupportCode);
    ar.realList("nk1", nk1, edgeSupportValue);
  } else {
    ar.labelLine(kNoEdgeSupportsLabel);
  }

  if (nps > 0) {
    ar.labelLine(kPendulumsLabel);
    ar.intList("nps", nps, pendulumNode);
    ar.realList("nps", nps, pendulumAngle);
    ar.realList("nps", nps, pendulumValue);
    ar.endLine();
  } else {
    ar.labelLine(kNoPendulumsLabel);
  }

  if (ndb > 0) {
    ar.labelLine(kRotSpringsLabel);
    ar.intList("ndb", ndb, rotSpringPlate);
    ar.realList("ndb", ndb, rotSpringStiffness);
    ar.realList("ndb", ndb, rotSpringValue);
    ar.endLine();
  } else {
    ar.labelLine(kNoRotSpringsLabel);
  }

  if (!hasShearSprings(formatVersion)) return;
  if (nsf > 0) {
    ar.labelLine(kShearSpringsLabel);
    ar.intList("nsf", nsf, shearSpringNode);
    ar.realList("nsf", nsf, shearSpringAngle);
    ar.realList("nsf", nsf, shearSpringStiffness);
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
    ar.intList("nlak", nlak, nodeBearingNode);
    ar.intList("nlak", nlak, nodeBearingType);
    ar.realList("nlak", nlak, nodeBearingAngle);
    ar.realList("nlak", nlak, nodeBearingStiffness);
    ar.endLine();
  }
  if (nlas > 0) {
    ar.labelLine(kPlateBearingsLabel);
    ar.intList("nlas", nlas, plateBearingPlate);
    ar.realList("nlas", nlas, plateBearingStiffness);
    ar.endLine();
  }
}

// ---- whole files ----

Result CrossSection::load(const std::string& fileName) {
  if (!platform::isRegularFile(fileName)) {
    return Result::failure(platform::fileExists(fileName) ? "it is not a regular file"
                                                          : "it does not exist");
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
  std::string temporary;
  const Result written = saveBeside(fileName, temporary);
  if (!written) return written;
  return finishTemporary(temporary, fileName, written);
}

Result CrossSection::saveBeside(const std::string& fileName, std::string& temporary) {
  const Result finite = checkFinite();
  if (!finite) return finite;

  // Written beside the target and renamed over it only when complete, so that
  // a failure or an interrupt never leaves a half-written file or destroys an
  // older one.
  const Result created = createTemporaryBeside(fileName, temporary);
  if (!created) return Result::failure("cannot create the file: " + created.reason());
  Result written = Result::success();
  try {
    written = writeFile(temporary);
  } catch (...) {  // out of memory: no temporary file stays behind
    dropTemporary(temporary);
    throw;
  }
  if (!written) dropTemporary(temporary);
  return written;
}

Result CrossSection::writeFile(const std::string& fileName) {
  Archive ar(fileName, Archive::Direction::Write);
  std::string header = kHeaderStart + formatFixed(kWrittenVersion, 2, 4) + " ****";
  ar.lineItem(header);
  formatVersion = 154;
  serialize(ar);
  return ar.close();
}

Result CrossSection::checkFinite() const {
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
        return Result::failure(std::string(name) + " of entry " + std::to_string(i + 1) +
                               " is not a finite number");
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
    if (!std::isfinite(value))
      return Result::failure(std::string(name) + " is not a finite number");
  }
  return Result::success();
}

bool hasSpringsOrBearings(const CrossSection& section) {
  return section.nps > 0 || section.ndb > 0 || section.nsf > 0 || section.nlas > 0 ||
         section.nlak > 0;
}

bool hasEdgeSupports(const CrossSection& section) {
  for (int code : section.edgeSupportCode) {
    if (code != 0) return true;
  }
  for (double value : section.edgeSupportValue) {
    if (value != 0.0) return true;
  }
  return false;
}
