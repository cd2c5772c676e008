#include "buckle/curve_picture.h"

#include <algorithm>
#include <cmath>

#include "archive/numbers.h"
#include "report/section_picture.h"
#include "report/svg_pieces.h"

namespace {

const double kPlotWidth = 790;
const double kPlotHeight = 480;
const double kLeft = 80, kRight = 30, kTop = 50, kAxisBelow = 60, kBelowLegend = 20;
const double kTitleFont = 14, kTitleBaseline = 28;
const double kTickFont = 11, kAxisFont = 12, kMarkFont = 11, kLegendFont = 12;
const double kLegendLine = 18;
const double kMarkRise = 10;  // from a mark's dot to its label's baseline
const double kLabelStep = 13;
const double kCurveWidth = 2, kPureWidth = 1;
const char* const kPureDash = "5 4";
const char* const kPureLegendColour = "black";

std::string number(double value) { return formatReal(value); }

struct Point {
  double x, y;
};
using Run = std::vector<Point>;

struct Axes {
  double logFirst, logLast, top;  // x from log10 of the first to the last length; y from 0 to top
  double x(double length) const {
    return kLeft + (std::log10(length) - logFirst) / (logLast - logFirst) * kPlotWidth;
  }
  double y(double value) const { return kTop + kPlotHeight * (1 - value / top); }
  double bottom() const { return kTop + kPlotHeight; }
  double right() const { return kLeft + kPlotWidth; }
};

// The value axis reaches 3 times the largest mark (else the smallest
// value), so that the minima read.
double topOf(const std::vector<CurveEntry>& entries) {
  double largestMark = 0, smallest = HUGE_VAL;
  for (const CurveEntry& entry : entries) {
    for (const CurveMark& mark : entry.marks) {
      if (std::isfinite(mark.lambda)) largestMark = std::max(largestMark, mark.lambda);
    }
    for (double value : entry.lambdas) {
      if (std::isfinite(value) && value > 0) smallest = std::min(smallest, value);
    }
  }
  const double base = largestMark > 0 ? largestMark : smallest;
  return std::isfinite(3 * base) && base > 0 ? 3 * base : 1;
}

// A round step (1, 2 or 5 times a power of ten) that gives about five ticks.
double tickStep(double top) {
  const double target = top / 5;
  const double power = std::pow(10.0, std::floor(std::log10(target)));
  for (double step : {1.0, 2.0, 5.0, 10.0}) {
    if (step * power >= target) return step * power;
  }
  return 10 * power;
}

// The parts of a curve inside the frame, each a polyline. A value that is
// not finite ends a run; a segment that crosses the top (or the bottom) of
// the frame ends or starts its run where it crosses it.
std::vector<Run> visibleRuns(const Axes& axes, const std::vector<double>& lengths,
                             const std::vector<double>& values) {
  std::vector<Run> runs;
  bool open = false;
  auto inRange = [&](double v) { return v >= 0 && v <= axes.top; };
  auto point = [&](double logL, double v) {
    const double x = kLeft + (logL - axes.logFirst) / (axes.logLast - axes.logFirst) * kPlotWidth;
    return Point{x, axes.y(v)};
  };
  const std::size_t count = std::min(lengths.size(), values.size());
  for (std::size_t k = 0; k < count; ++k) {
    const bool usable = std::isfinite(values[k]) && lengths[k] > 0;
    const bool previous = k > 0 && std::isfinite(values[k - 1]) && lengths[k - 1] > 0;
    if (!usable) {
      open = false;
      continue;
    }
    if (!previous) {
      if (inRange(values[k])) runs.push_back({point(std::log10(lengths[k]), values[k])});
      open = inRange(values[k]);
      continue;
    }
    // The part [t0, t1] of the segment from k - 1 to k whose value lies in [0, top].
    const double a = values[k - 1], b = values[k];
    double t0 = 0, t1 = 1;
    if (a == b) {
      if (!inRange(a)) t0 = 2;
    } else {
      const double tTop = (axes.top - a) / (b - a), tZero = -a / (b - a);
      t0 = std::max(t0, b > a ? tZero : tTop);
      t1 = std::min(t1, b > a ? tTop : tZero);
    }
    if (!(t0 < t1)) {
      open = false;
      continue;
    }
    const double logA = std::log10(lengths[k - 1]), logB = std::log10(lengths[k]);
    if (!open || t0 > 0) runs.push_back({point(logA + t0 * (logB - logA), a + t0 * (b - a))});
    runs.back().push_back(t1 < 1 ? point(logA + t1 * (logB - logA), a + t1 * (b - a))
                                 : point(logB, b));
    open = t1 >= 1;
  }
  return runs;
}

std::string line(double x1, double y1, double x2, double y2) {
  return "<line x1=\"" + number(x1) + "\" y1=\"" + number(y1) + "\" x2=\"" + number(x2) +
         "\" y2=\"" + number(y2) + "\" stroke=\"black\"/>\n";
}

// A file's pure curves: thin, dashed in its own pattern, or in kPureDash
// when the file's own curve is solid.
std::string pureStroke(const PictureStyle& style) {
  return strokeAttributes(style.colour, kPureWidth, style.dash.empty() ? kPureDash : style.dash);
}

std::string drawCurve(const Axes& axes, const std::vector<double>& lengths,
                      const std::vector<double>& values, const char* colour,
                      const std::string& strokeText) {
  std::string svg;
  for (const Run& run : visibleRuns(axes, lengths, values)) {
    if (run.size() == 1) {
      // A value with gaps on both sides: a dot.
      svg += "<circle cx=\"" + number(run[0].x) + "\" cy=\"" + number(run[0].y) +
             "\" r=\"2\" fill=\"" + colour + "\"/>\n";
      continue;
    }
    std::string points;
    for (const Point& p : run) {
      points += (points.empty() ? "" : " ") + number(p.x) + "," + number(p.y);
    }
    svg += "<polyline fill=\"none\" " + strokeText + " points=\"" + points + "\"/>\n";
  }
  return svg;
}

// The length ticks at 1, 2 and 5 times the powers of ten; a tick's number
// is drawn where it overlaps none drawn before, the powers of ten first.
std::string drawLengthTicks(const Axes& axes, TextBoxes& texts) {
  struct Tick {
    double length;
    int step;
    bool numbered;
  };
  std::vector<Tick> ticks;
  for (int decade = static_cast<int>(std::floor(axes.logFirst));
       decade <= static_cast<int>(std::ceil(axes.logLast)); ++decade) {
    for (int step : {1, 2, 5}) {
      const double length = step * std::pow(10.0, decade);
      const double logL = std::log10(length);
      if (logL < axes.logFirst - 1e-9 || logL > axes.logLast + 1e-9) continue;
      ticks.push_back({length, step, false});
    }
  }
  const double baseline = axes.bottom() + 22;
  for (int step : {1, 2, 5}) {
    for (Tick& tick : ticks) {
      if (tick.step != step) continue;
      tick.numbered = texts.place(
          textBox(axes.x(tick.length), baseline, number(tick.length), kTickFont, "middle"));
    }
  }
  std::string svg;
  for (const Tick& tick : ticks) {
    const double x = axes.x(tick.length);
    svg += line(x, axes.bottom(), x, axes.bottom() + (tick.step == 1 ? 8 : 4));
    if (tick.numbered) svg += svgText(x, baseline, number(tick.length), kTickFont, "middle");
  }
  return svg;
}

std::string drawAxes(const Axes& axes, const CurvePicture& picture, TextBoxes& texts) {
  std::string svg = line(kLeft, kTop, kLeft, axes.bottom()) +
                    line(kLeft, axes.bottom(), axes.right(), axes.bottom());
  svg += drawLengthTicks(axes, texts);
  const double labelBaseline = axes.bottom() + 45, middle = kLeft + kPlotWidth / 2;
  texts.add(textBox(middle, labelBaseline, picture.lengthLabel, kAxisFont, "middle"));
  svg += svgText(middle, labelBaseline, picture.lengthLabel, kAxisFont, "middle");
  const double step = tickStep(axes.top);
  for (int i = 0; i * step <= axes.top * (1 + 1e-9); ++i) {
    const double y = axes.y(i * step);
    svg += line(kLeft - 6, y, kLeft, y);
    texts.add(textBox(kLeft - 10, y + 4, number(i * step), kTickFont, "end"));
    svg += svgText(kLeft - 10, y + 4, number(i * step), kTickFont, "end");
  }
  // The value label turned upright along the axis, centred on it.
  const double centre = kTop + kPlotHeight / 2;
  svg += "<text x=\"18\" y=\"" + number(centre) + "\" font-size=\"" + number(kAxisFont) +
         "\" text-anchor=\"middle\" transform=\"rotate(-90 18 " + number(centre) + ")\">" +
         xmlEscaped(picture.valueLabel) + "</text>\n";
  const double halfLength = textWidth(picture.valueLabel, kAxisFont) / 2;
  texts.add({18 - kAxisFont, centre - halfLength, 18, centre + halfLength});
  return svg;
}

std::string markDot(const Axes& axes, const CurveMark& mark, const char* colour) {
  return "<circle cx=\"" + number(axes.x(mark.length)) + "\" cy=\"" + number(axes.y(mark.lambda)) +
         "\" r=\"4\" fill=\"" + colour + "\"/>\n";
}

// A mark's label ("L 0.105842") at the first place, above the dot and then
// below it, that overlaps no text placed before and lies inside the frame;
// empty when there is none.
std::string markLabel(const Axes& axes, const CurveMark& mark, const char* colour,
                      TextBoxes& texts) {
  const double x = axes.x(mark.length), y = axes.y(mark.lambda);
  const std::string label =
      (mark.letter ? std::string(1, mark.letter) + " " : std::string()) + number(mark.lambda);
  const double half = textWidth(label, kMarkFont) / 2;
  const double labelX = std::clamp(x, kLeft + half + 2, axes.right() - half - 2);
  std::vector<double> baselines;
  for (double b = y - kMarkRise; b - kMarkFont >= kTop; b -= kLabelStep) baselines.push_back(b);
  for (double b = y + kMarkRise + kMarkFont; b <= axes.bottom() - 2; b += kLabelStep) {
    baselines.push_back(b);
  }
  for (double baseline : baselines) {
    const TextBox box = textBox(labelX, baseline, label, kMarkFont, "middle");
    if (texts.place(box)) {
      // On a white ground a little larger than the text, over the curves.
      return "<rect x=\"" + number(box.left - 1) + "\" y=\"" + number(box.top) + "\" width=\"" +
             number(box.right - box.left + 2) + "\" height=\"" + number(box.bottom - box.top + 2) +
             "\" fill=\"white\" fill-opacity=\"0.85\"/>\n" +
             svgText(labelX, baseline, label, kMarkFont, "middle", colour);
    }
  }
  return std::string();
}

bool markShown(const Axes& axes, const CurveMark& mark) {
  return std::isfinite(mark.lambda) && mark.lambda >= 0 && mark.lambda <= axes.top &&
         mark.length > 0 && std::isfinite(axes.x(mark.length)) &&
         axes.x(mark.length) >= kLeft - 1e-9 && axes.x(mark.length) <= axes.right() + 1e-9;
}

// The legend lines: each file's name with how it was made, then the pure
// curves' line when there are any.
struct LegendLine {
  std::string sample;  // the stroke of its sample line
  std::string text;
};

std::vector<LegendLine> legendLines(const std::vector<CurveEntry>& entries) {
  std::vector<LegendLine> lines;
  std::string letters;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const CurveEntry& entry = entries[i];
    const PictureStyle style = pictureStyle(i);
    lines.push_back({strokeAttributes(style.colour, kCurveWidth, style.dash),
                     entry.name + (entry.explanation.empty() ? "" : ": " + entry.explanation)});
    for (const PureCurve& pure : entry.pure) {
      if (letters.find(pure.letter) == std::string::npos) letters += pure.letter;
    }
  }
  if (letters.empty()) return lines;
  std::string ordered;
  for (char letter : {'L', 'D', 'G'}) {
    if (letters.find(letter) != std::string::npos)
      ordered += (ordered.empty() ? "" : ", ") + std::string(1, letter);
  }
  lines.push_back({strokeAttributes(kPureLegendColour, kPureWidth, kPureDash),
                   "dashed: the pure-mode curves (" + ordered + "), each in its file's colour"});
  return lines;
}

}  // namespace

std::string drawCurves(const CurvePicture& picture) {
  const std::vector<double>& lengths = picture.lengths;
  Axes axes{0, 1, topOf(picture.entries)};
  if (!lengths.empty() && lengths.front() > 0 && lengths.back() > 0) {
    axes.logFirst = std::log10(lengths.front());
    axes.logLast = std::log10(lengths.back());
  }
  if (!(axes.logLast > axes.logFirst)) axes.logLast = axes.logFirst + 1;
  const std::vector<LegendLine> legend = legendLines(picture.entries);
  const double legendTop = axes.bottom() + kAxisBelow + 10;
  const double height = legendTop + kLegendLine * static_cast<double>(legend.size()) + kBelowLegend;
  double width =
      std::max(kLeft + kPlotWidth + kRight, kLeft + textWidth(picture.title, kTitleFont) + kRight);
  for (const LegendLine& entry : legend) {
    width =
        std::max(width, kLeft + kLegendTextIndent + textWidth(entry.text, kLegendFont) + kRight);
  }
  std::string svg = svgOpening(width, height);
  svg += svgText(kLeft, kTitleBaseline, picture.title, kTitleFont);
  TextBoxes texts;
  texts.add(textBox(kLeft, kTitleBaseline, picture.title, kTitleFont));
  svg += drawAxes(axes, picture, texts);
  for (std::size_t i = 0; i < picture.entries.size(); ++i) {
    const CurveEntry& entry = picture.entries[i];
    const PictureStyle style = pictureStyle(i);
    for (const PureCurve& pure : entry.pure) {
      svg += drawCurve(axes, lengths, pure.lambdas, style.colour, pureStroke(style));
    }
    svg += drawCurve(axes, lengths, entry.lambdas, style.colour,
                     strokeAttributes(style.colour, kCurveWidth, style.dash));
  }
  // The marks after every curve and the labels after every dot, so that
  // nothing covers a label.
  std::string labels;
  for (std::size_t i = 0; i < picture.entries.size(); ++i) {
    for (const CurveMark& mark : picture.entries[i].marks) {
      if (!markShown(axes, mark)) continue;
      svg += markDot(axes, mark, pictureStyle(i).colour);
      labels += markLabel(axes, mark, pictureStyle(i).colour, texts);
    }
  }
  svg += labels;
  for (std::size_t i = 0; i < legend.size(); ++i) {
    const double y = legendTop + kLegendLine * static_cast<double>(i);
    svg += legendEntry(kLeft, y, legend[i].sample, legend[i].text, kLegendFont);
  }
  svg += "</svg>\n";
  return svg;
}
