// The picture of zorvik-buckle: the signature curves of several sections in
// one SVG, lambda against the half-wavelength or the member length on a
// logarithmic axis.
#pragma once

#include <string>
#include <vector>

struct CurveEntry {
  std::string name;         // the file's name
  std::string explanation;  // how it was made (its radius), or empty
  std::vector<double> lambdas;
  std::vector<std::pair<double, double>> minima;  // length, lambda
};

// lengths: the lengths shared by every curve (NaN in a curve: no value
// there); lengthLabel and valueLabel: what the x and the y axis show.
std::string drawCurves(const std::vector<CurveEntry>& entries, const std::vector<double>& lengths,
                       const std::string& lengthLabel, const std::string& valueLabel);
