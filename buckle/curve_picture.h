// The picture of zorvik-buckle: the signature curves of several sections in
// one SVG, lambda against the half-wavelength on a logarithmic axis.
#pragma once

#include <string>
#include <vector>

struct CurveEntry {
  std::string name;         // the file's name
  std::string explanation;  // how it was made (its radius), or empty
  std::vector<double> lambdas;
  std::vector<std::pair<double, double>> minima;  // length, lambda
};

// lengths: the half-wavelengths shared by every curve; unit: the length
// unit; valueLabel: what the y axis shows, such as "lambda".
std::string drawCurves(const std::vector<CurveEntry>& entries, const std::vector<double>& lengths,
                       const std::string& unit, const std::string& valueLabel);
