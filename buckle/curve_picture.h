// The picture of zorvik-buckle: the signature curves (or member curves) of
// several sections in one SVG, lambda against the half-wavelength or the
// member length on a logarithmic axis, with each named minimum marked by
// its mode's letter and value, and the pure-mode curves dashed.
#pragma once

#include <string>
#include <vector>

// A point that the table names: a minimum, or the value a mode row takes.
struct CurveMark {
  double length = 0.0;
  double lambda = 0.0;
  char letter = 0;  // 'L', 'D', 'G'; 0 for a mixed minimum (drawn without a letter)
};

// A pure-mode curve (the problem held to one deformation space), dashed.
struct PureCurve {
  char letter = 'D';            // 'L', 'D' or 'G'
  std::vector<double> lambdas;  // per length; NaN: no value there
};

struct CurveEntry {
  std::string name;             // the file's name
  std::string explanation;      // how it was made (its radius), or empty
  std::vector<double> lambdas;  // per length; NaN: no value there
  std::vector<CurveMark> marks;
  std::vector<PureCurve> pure;
};

struct CurvePicture {
  std::string title;            // "lipped_channel.kaf: compression, ends S-S"
  std::string lengthLabel;      // "half-wavelength L [mm]" or "member length [mm]"
  std::string valueLabel;       // "lambda = sigma_cr [kN/mm^2]"
  std::vector<double> lengths;  // shared by every curve, increasing
  std::vector<CurveEntry> entries;
};

// The SVG. The value axis reaches 3 times the largest mark; a curve above it
// leaves through the top of the frame and comes back where it falls below
// it; a value that is NaN leaves a gap. Each file is drawn in its
// pictureStyle, its pure curves thinner and dashed in its colour; each
// mark's label goes where it overlaps no text drawn before (a mark with no
// such place inside the frame keeps its dot only). The legend gives each
// file's name with its explanation, and one entry for the pure curves.
std::string drawCurves(const CurvePicture& picture);
