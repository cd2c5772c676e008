#include "strip/signature_curve.h"

#include <cmath>

namespace {

const double kLengthTolerance = 1e-3;  // relative, in L
// The golden section of a bracket, searched on log L.
const double kGolden = 0.6180339887498949;

// Golden-section search for the minimum of lambda between lo and hi, which
// brackets it around mid.
CurveMinimum refine(const StripModel& model, const StressField& stress, double lo, double mid,
                    double hi, double lambdaAtMid, const Progress& progress) {
  auto lambdaAt = [&](double logL) {
    const double lambda = lowestLoadFactor(model, stress, std::exp(logL), lambdaAtMid);
    if (progress) progress();
    return lambda;
  };
  double a = std::log(lo), b = std::log(hi);
  CurveMinimum best{mid, lambdaAtMid};
  double x1 = b - kGolden * (b - a), x2 = a + kGolden * (b - a);
  double f1 = lambdaAt(x1), f2 = lambdaAt(x2);
  while (b - a > std::log1p(kLengthTolerance)) {
    if (f1 < f2) {
      b = x2, x2 = x1, f2 = f1;
      x1 = b - kGolden * (b - a);
      f1 = lambdaAt(x1);
    } else {
      a = x1, x1 = x2, f1 = f2;
      x2 = a + kGolden * (b - a);
      f2 = lambdaAt(x2);
    }
  }
  if (f1 < best.lambda) best = {std::exp(x1), f1};
  if (f2 < best.lambda) best = {std::exp(x2), f2};
  return best;
}

}  // namespace

std::vector<double> halfWavelengths(double first, double last, int count) {
  std::vector<double> lengths;
  for (int i = 0; i < count; ++i) {
    lengths.push_back(i == 0 ? first
                      : i + 1 == count
                          ? last
                          : first * std::pow(last / first, static_cast<double>(i) / (count - 1)));
  }
  return lengths;
}

SignatureCurve signatureCurve(const StripModel& model, const StressField& stress,
                              const std::vector<double>& lengths, const Progress& progress) {
  SignatureCurve curve;
  for (double L : lengths) {
    const double near = curve.lambdas.empty() ? 0.0 : curve.lambdas.back();
    curve.lambdas.push_back(lowestLoadFactor(model, stress, L, near));
    if (progress) progress();
  }
  for (std::size_t i = 1; i + 1 < lengths.size(); ++i) {
    const double here = curve.lambdas[i];
    if (here < curve.lambdas[i - 1] && here < curve.lambdas[i + 1]) {
      curve.minima.push_back(
          refine(model, stress, lengths[i - 1], lengths[i], lengths[i + 1], here, progress));
    }
  }
  return curve;
}
