#include "strip/mode_naming.h"

namespace {

std::size_t slotOf(ModeName name) {
  for (std::size_t k = 0; k < kNamedModes.size(); ++k) {
    if (kNamedModes[k] == name) return k;
  }
  return kNamedModes.size();
}

}  // namespace

const char* sourceText(ModeSource source) {
  switch (source) {
    case ModeSource::minimum:
      return "minimum";
    case ModeSource::pureMode:
      return "pure mode";
    case ModeSource::longestLength:
      return "longest length";
    case ModeSource::memberLength:
      return "member length";
    case ModeSource::none:
      break;
  }
  return "-";
}

unsigned spaceOf(ModeName name) {
  switch (name) {
    case ModeName::local:
      return kLocal;
    case ModeName::distortional:
      return kDistortional;
    case ModeName::global:
      return kGlobal;
    case ModeName::mixed:
      break;
  }
  return kOther;
}

char spaceLetter(unsigned space) {
  switch (space) {
    case kGlobal:
      return 'G';
    case kDistortional:
      return 'D';
    case kLocal:
      return 'L';
    case kOther:
      return 'O';
  }
  return 0;
}

MinimaNames nameMinima(const std::vector<FoundMode>& candidates) {
  MinimaNames names;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const FoundMode& c = candidates[i];
    const std::size_t slot = slotOf(c.name);
    if (slot == kNamedModes.size()) continue;
    const bool mayName = c.source == ModeSource::minimum ||
                         (c.source == ModeSource::longestLength && c.name == ModeName::global);
    if (!mayName) continue;
    int& chosen = names.chosen[slot];
    if (chosen < 0 || c.lambda < candidates[static_cast<std::size_t>(chosen)].lambda) {
      chosen = int(i);
    }
  }
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const FoundMode& c = candidates[i];
    if (c.source != ModeSource::minimum) continue;
    const std::size_t slot = slotOf(c.name);
    if (slot == kNamedModes.size()) {
      names.mixed.push_back(int(i));
    } else if (names.chosen[slot] != int(i)) {
      names.further.push_back(int(i));
    }
  }
  return names;
}

FollowedMode followMode(const StripModel& firstModel, const FoundMode& first,
                        const StripModel& model, const std::vector<FoundMode>& candidates) {
  FollowedMode found, best;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const FoundMode& c = candidates[i];
    if (c.mode.size() == 0 || first.mode.size() == 0) continue;
    const double likeness = deformationLikeness(firstModel, first.mode, model, c.mode);
    best.likeness = std::max(best.likeness, likeness);
    if (sameMode(first.shares, c.shares, likeness) && likeness > found.likeness) {
      found = {int(i), likeness};
    }
  }
  return found.index >= 0 ? found : FollowedMode{-1, best.likeness};
}
