#include "strip/direct_strength.h"

#include <algorithm>
#include <cmath>

namespace {

// The curve (1 - c r^e) r^e of the local and distortional strength, r the
// ratio of the buckling load to the load it reduces.
double reduced(double ratio, double c, double e) {
  const double power = std::pow(ratio, e);
  return (1 - c * power) * power;
}

// The slenderness where (1 - c y) y = 1 with y = lambda^(-2 e), the smaller
// root of c y^2 - y + 1 = 0, meets the plateau.
double plateauLimit(double c, double e) {
  const double y = (1 - std::sqrt(1 - 4 * c)) / (2 * c);
  return std::pow(y, -1 / (2 * e));
}

// The slenderness where 0.658^(lambda^2) = 0.877 / lambda^2: Newton's method
// on x ln 0.658 + ln x - ln 0.877 = 0 for x = lambda^2.
double columnCurvesMeet() {
  double x = 2.25;
  for (int i = 0; i < 50; ++i) {
    const double f = x * std::log(0.658) + std::log(x) - std::log(0.877);
    const double step = f / (std::log(0.658) + 1 / x);
    x -= step;
    if (std::fabs(step) < 1e-16 * x) break;
  }
  return std::sqrt(x);
}

}  // namespace

const StrengthLimits& strengthLimits() {
  static const StrengthLimits limits{plateauLimit(0.15, 0.4),
                                     plateauLimit(0.25, 0.6),
                                     plateauLimit(0.22, 0.5),
                                     columnCurvesMeet(),
                                     5.0 / 9.0,
                                     25.0 / 9.0};
  return limits;
}

std::string governsName(Governs governs) {
  switch (governs) {
    case Governs::kLocalGlobal:
      return "local-global";
    case Governs::kDistortional:
      return "distortional";
    case Governs::kGlobal:
      return "global";
    case Governs::kYield:
      break;
  }
  return "yield";
}

double globalStrength(MemberAction action, double yield, std::optional<double> buckling) {
  if (!buckling) return yield;
  const StrengthLimits& limits = strengthLimits();
  if (action == MemberAction::kCompression) {
    const double slenderness2 = yield / *buckling;
    if (slenderness2 <= limits.globalColumn * limits.globalColumn) {
      return std::pow(0.658, slenderness2) * yield;
    }
    return 0.877 / slenderness2 * yield;
  }
  const double ratio = *buckling / yield;
  if (ratio < limits.globalBeamLow) return *buckling;
  if (ratio > limits.globalBeamHigh) return yield;
  return 10.0 / 9.0 * yield * (1 - 10 * yield / (36 * *buckling));
}

double localStrength(double global, double buckling) {
  const double limit = strengthLimits().local;
  if (global / buckling <= limit * limit) return global;
  return reduced(buckling / global, 0.15, 0.4) * global;
}

double distortionalStrength(MemberAction action, double yield, double buckling) {
  const bool column = action == MemberAction::kCompression;
  const double limit =
      column ? strengthLimits().distortionalColumn : strengthLimits().distortionalBeam;
  if (yield / buckling <= limit * limit) return yield;
  return column ? reduced(buckling / yield, 0.25, 0.6) * yield
                : reduced(buckling / yield, 0.22, 0.5) * yield;
}

double resistanceFactor(MemberAction action) {
  return action == MemberAction::kCompression ? 0.85 : 0.90;
}

double safetyFactor(MemberAction action) {
  return action == MemberAction::kCompression ? 1.80 : 1.67;
}

DesignStrength directStrength(MemberAction action, const MemberLoads& loads) {
  DesignStrength s;
  s.globalStrength = globalStrength(action, loads.yield, loads.global);
  if (loads.local) s.local = localStrength(s.globalStrength, *loads.local);
  if (loads.distortional) {
    s.distortional = distortionalStrength(action, loads.yield, *loads.distortional);
  }
  const bool distortional = loads.distortionalApplies;
  if (!s.local || (distortional && !s.distortional)) return s;
  s.nominal = distortional ? std::min(*s.local, *s.distortional) : *s.local;
  if (distortional && *s.distortional < *s.local) {
    s.governs = Governs::kDistortional;
  } else if (*s.local < s.globalStrength) {
    s.governs = Governs::kLocalGlobal;
  } else if (s.globalStrength < loads.yield) {
    s.governs = Governs::kGlobal;
  } else {
    s.governs = Governs::kYield;
  }
  s.factored = resistanceFactor(action) * *s.nominal;
  s.allowable = *s.nominal / safetyFactor(action);
  return s;
}
