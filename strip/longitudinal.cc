#include "strip/longitudinal.h"

#include <algorithm>
#include <cmath>

#include "section/plate_geometry.h"
#include "section/trigonometry.h"

namespace {

// sin(r pi / 2) and cos(r pi / 2) of a whole r, exactly.
double sineOfQuarterTurns(long r) {
  const long q = ((r % 4) + 4) % 4;
  return q == 1 ? 1.0 : q == 3 ? -1.0 : 0.0;
}
double cosineOfQuarterTurns(long r) {
  const long q = ((r % 4) + 4) % 4;
  return q == 0 ? 1.0 : q == 2 ? -1.0 : 0.0;
}

// The integrals over [0, a] of cos(r pi x / (2a)) and sin(r pi x / (2a)).
double integralOfCosine(long r, double a) {
  if (r == 0) return a;
  return 2 * a / (static_cast<double>(r) * kPi) * sineOfQuarterTurns(r);
}
double integralOfSine(long r, double a) {
  if (r == 0) return 0.0;
  return 2 * a / (static_cast<double>(r) * kPi) * (1 - cosineOfQuarterTurns(r));
}

// The integral of the product of two single terms, by the product-to-sum rules.
double integralOfTermProduct(const TrigTerm& f, const TrigTerm& g, double a) {
  const long p = f.frequency, q = g.frequency;
  const double c = f.coefficient * g.coefficient / 2;
  if (!f.sine && !g.sine) return c * (integralOfCosine(p - q, a) + integralOfCosine(p + q, a));
  if (f.sine && g.sine) return c * (integralOfCosine(p - q, a) - integralOfCosine(p + q, a));
  // sin p cos q = (sin(p + q) + sin(p - q)) / 2
  const long s = f.sine ? p : q, k = f.sine ? q : p;
  return c * (integralOfSine(s + k, a) + integralOfSine(s - k, a));
}

// A product of two sines or cosines of frequencies p and q, as a sum.
TrigSum productOfSines(double c, int p, int q) {  // c sin p sin q
  return {{c / 2, std::abs(p - q), false}, {-c / 2, p + q, false}};
}

}  // namespace

std::string endConditionsName(EndConditions ends) {
  switch (ends) {
    case EndConditions::SS:
      return "S-S";
    case EndConditions::CC:
      return "C-C";
    case EndConditions::SC:
      return "S-C";
    case EndConditions::CF:
      return "C-F";
    case EndConditions::CG:
      return "C-G";
  }
  return "";
}

std::optional<EndConditions> parseEndConditions(const std::string& text) {
  for (EndConditions ends : {EndConditions::SS, EndConditions::CC, EndConditions::SC,
                             EndConditions::CF, EndConditions::CG}) {
    if (text == endConditionsName(ends)) return ends;
  }
  return std::nullopt;
}

TrigSum longitudinalFunction(EndConditions ends, int m) {
  // Frequencies in units of pi / (2a): m pi x / a is frequency 2m.
  switch (ends) {
    case EndConditions::SS:
      return {{1.0, 2 * m, true}};
    case EndConditions::CC:
      return productOfSines(1.0, 2 * m, 2);
    case EndConditions::SC:
      return {{1.0, 2 * m + 2, true}, {static_cast<double>(m + 1) / m, 2 * m, true}};
    case EndConditions::CF:
      return {{1.0, 0, false}, {-1.0, 2 * m - 1, false}};
    case EndConditions::CG:
      return productOfSines(1.0, 2 * m - 1, 1);
  }
  return {};
}

TrigSum derivative(const TrigSum& f, double a) {
  TrigSum d;
  for (const TrigTerm& term : f) {
    if (term.frequency == 0) continue;  // a constant
    const double rate = term.frequency * kPi / (2 * a);
    d.push_back({term.sine ? term.coefficient * rate : -term.coefficient * rate, term.frequency,
                 !term.sine});
  }
  return d;
}

double evaluate(const TrigSum& f, double x, double a) {
  double sum = 0;
  for (const TrigTerm& term : f) {
    const double angle = term.frequency * kPi * x / (2 * a);
    sum += term.coefficient * (term.sine ? portableSin(angle) : portableCos(angle));
  }
  return sum;
}

double integralOfProduct(const TrigSum& f, const TrigSum& g, double a) {
  double sum = 0;
  for (const TrigTerm& p : f) {
    for (const TrigTerm& q : g) sum += integralOfTermProduct(p, q, a);
  }
  return sum;
}

double termWaveNumber(int m, double a) { return m * kPi / a; }

TermIntegrals termIntegrals(EndConditions ends, int m, int n, double a) {
  const TrigSum ym = longitudinalFunction(ends, m), yn = longitudinalFunction(ends, n);
  const TrigSum ym1 = derivative(ym, a), yn1 = derivative(yn, a);
  const TrigSum ym2 = derivative(ym1, a), yn2 = derivative(yn1, a);
  TermIntegrals i;
  i.I1 = integralOfProduct(ym, yn, a);
  i.I2 = integralOfProduct(ym2, yn, a);
  i.I3 = integralOfProduct(ym, yn2, a);
  i.I4 = integralOfProduct(ym2, yn2, a);
  i.I5 = integralOfProduct(ym1, yn1, a);
  return i;
}

bool termsCoupled(EndConditions ends, int m, int n) {
  if (m == n) return true;
  // An integral far below the bound that the terms' own integrals set is
  // what rounding leaves of a cancellation: no coupling.
  const TermIntegrals mn = termIntegrals(ends, m, n, 1.0);
  const TermIntegrals mm = termIntegrals(ends, m, m, 1.0), nn = termIntegrals(ends, n, n, 1.0);
  auto scale = [](double x, double y) { return 1e-13 * std::sqrt(std::fabs(x) * std::fabs(y)); };
  // Each bound is Cauchy and Schwarz's: |int f g| <= sqrt(int f^2 int g^2).
  return std::fabs(mn.I1) > scale(mm.I1, nn.I1) || std::fabs(mn.I2) > scale(mm.I4, nn.I1) ||
         std::fabs(mn.I3) > scale(mm.I1, nn.I4) || std::fabs(mn.I4) > scale(mm.I4, nn.I4) ||
         std::fabs(mn.I5) > scale(mm.I5, nn.I5);
}

const TermTable::Entry& TermTable::entry(int m, int n) {
  auto found = entries_.find({m, n});
  if (found == entries_.end()) {
    found = entries_
                .emplace(std::make_pair(m, n),
                         Entry{termIntegrals(ends_, m, n, 1.0), termsCoupled(ends_, m, n)})
                .first;
  }
  return found->second;
}

TermIntegrals TermTable::integrals(int m, int n, double a) {
  const TermIntegrals& u = entry(m, n).unit;
  return {u.I1 * a, u.I2 / a, u.I3 / a, u.I4 / (a * a * a), u.I5 / a};
}

bool TermTable::coupled(int m, int n) { return entry(m, n).coupled; }

std::vector<std::vector<int>> uncoupledGroups(TermTable& table, const std::vector<int>& terms) {
  std::vector<int> group(terms.size(), -1);
  int groups = 0;
  for (std::size_t i = 0; i < terms.size(); ++i) {
    if (group[i] >= 0) continue;
    group[i] = groups;
    std::vector<std::size_t> waiting{i};
    while (!waiting.empty()) {
      const std::size_t a = waiting.back();
      waiting.pop_back();
      for (std::size_t b = 0; b < terms.size(); ++b) {
        if (group[b] < 0 && table.coupled(terms[a], terms[b])) {
          group[b] = groups;
          waiting.push_back(b);
        }
      }
    }
    ++groups;
  }
  std::vector<std::vector<int>> split(static_cast<std::size_t>(groups));
  for (std::size_t i = 0; i < terms.size(); ++i) {
    split[static_cast<std::size_t>(group[i])].push_back(terms[i]);
  }
  return split;
}
