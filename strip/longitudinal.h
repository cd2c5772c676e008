// The longitudinal functions of the finite strip method for general end
// conditions (Li and Schafer 2010, "Buckling analysis of cold-formed steel
// members with general boundary conditions using CUFSM: conventional and
// constrained finite strip methods"): for each pair of end conditions the
// function Y_m(x) of term m on a member of length a, and the integrals along
// the member of products of two terms and their derivatives, in closed form.
//
// Every Y_m is a short sum of sines and cosines whose frequencies are whole
// multiples of pi / (2a); every integral over [0, a] then needs only the
// sine and cosine of whole multiples of pi / 2, which are exactly 0, 1 or -1.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The supports at the two ends: S simply supported, C clamped, F free, G
// guided (no rotation, free to move across the member).
enum class EndConditions { SS, CC, SC, CF, CG };

// "S-S", "C-C", "S-C", "C-F", "C-G".
std::string endConditionsName(EndConditions ends);
std::optional<EndConditions> parseEndConditions(const std::string& text);

// coefficient * sin(frequency pi x / (2a)) or * cos(...).
struct TrigTerm {
  double coefficient = 0.0;
  int frequency = 0;  // 0 or more
  bool sine = false;
};
using TrigSum = std::vector<TrigTerm>;

// Y_m of the end conditions, m from 1:
//   S-S  sin(m pi x / a)
//   C-C  sin(m pi x / a) sin(pi x / a)
//   S-C  sin((m + 1) pi x / a) + (m + 1) / m sin(m pi x / a)
//   C-F  1 - cos((m - 1/2) pi x / a)
//   C-G  sin((m - 1/2) pi x / a) sin(pi x / (2a))
// written as sums of single sines and cosines.
TrigSum longitudinalFunction(EndConditions ends, int m);

// d/dx of f on a member of length a.
TrigSum derivative(const TrigSum& f, double a);

// f(x) on a member of length a (portable sine and cosine).
double evaluate(const TrigSum& f, double x, double a);

// The integral of f g over [0, a].
double integralOfProduct(const TrigSum& f, const TrigSum& g, double a);

// k_m = m pi / a: the displacement along the member of term m is
// Y_m'(x) / k_m times its amplitude, for every end condition.
double termWaveNumber(int m, double a);

// The integrals over [0, a] of terms m and n:
//   I1 = Y_m Y_n, I2 = Y_m'' Y_n, I3 = Y_m Y_n'', I4 = Y_m'' Y_n'', I5 = Y_m' Y_n'.
struct TermIntegrals {
  double I1 = 0.0;
  double I2 = 0.0;
  double I3 = 0.0;
  double I4 = 0.0;
  double I5 = 0.0;
};
TermIntegrals termIntegrals(EndConditions ends, int m, int n, double a);

// Whether terms m and n are coupled: some integral of them is not 0 (against
// the size of the terms' own integrals). Uncoupled terms form separate
// problems; for S-S no two terms are coupled, for C-C only terms of one
// parity.
bool termsCoupled(EndConditions ends, int m, int n);

// The integrals and couplings of one end condition's terms, each computed
// once on a member of length 1 and scaled to a: Y_m depends on x / a only,
// so I1 grows as a, I2, I3 and I5 as 1 / a, I4 as 1 / a^3.
class TermTable {
 public:
  explicit TermTable(EndConditions ends) : ends_(ends) {}
  EndConditions ends() const { return ends_; }
  TermIntegrals integrals(int m, int n, double a);
  bool coupled(int m, int n);

 private:
  struct Entry {
    TermIntegrals unit;
    bool coupled;
  };
  const Entry& entry(int m, int n);

  EndConditions ends_;
  std::map<std::pair<int, int>, Entry> entries_;
};

// The terms of a set split into the groups that no integral couples, each
// in the set's order.
std::vector<std::vector<int>> uncoupledGroups(TermTable& table, const std::vector<int>& terms);
