#include "buckle/curve_picture.h"

#include <algorithm>
#include <cmath>

#include "archive/numbers.h"
#include "report/section_picture.h"

namespace {

const double kWidth = 900;
const double kPlotHeight = 480;
const double kLeft = 80, kRight = 30, kTop = 30, kAxisBelow = 60;
const double kLegendLine = 18;
const double kLabelStep = 13;

std::string number(double value) { return formatReal(value); }

struct Axes {
  double logFirst, logLast, top;  // x from log10 of the first to the last length; y from 0 to top
  double x(double length) const {
    return kLeft +
           (std::log10(length) - logFirst) / (logLast - logFirst) * (kWidth - kLeft - kRight);
  }
  double y(double value) const { return kTop + kPlotHeight * (1 - std::min(value, top) / top); }
};

// The y range: up to 3 times the largest second minimum (else first
// minimum, else the smallest value), so that the minima read.
double topOf(const std::vector<CurveEntry>& entries) {
  double second = 0, first = 0, smallest = HUGE_VAL;
  for (const CurveEntry& entry : entries) {
    if (entry.minima.size() > 1) second = std::max(second, entry.minima[1].second);
    if (!entry.minima.empty()) first = std::max(first, entry.minima[0].second);
    for (double value : entry.lambdas) {
      if (std::isfinite(value)) smallest = std::min(smallest, value);
    }
  }
  const double base = second > 0 ? second : first > 0 ? first : smallest;
  return std::isfinite(base) && base > 0 ? 3 * base : 1;
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

std::string text(double x, double y, const std::string& content, const char* anchor = "start",
                 int size = 12) {
  return "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\" font-size=\"" +
         std::to_string(size) + "\" text-anchor=\"" + anchor + "\">" + xmlEscaped(content) +
         "</text>\n";
}

std::string line(double x1, double y1, double x2, double y2, const char* colour = "black") {
  return "<line x1=\"" + number(x1) + "\" y1=\"" + number(y1) + "\" x2=\"" + number(x2) +
         "\" y2=\"" + number(y2) + "\" stroke=\"" + colour + "\"/>\n";
}

std::string drawAxes(const Axes& axes, const std::string& lengthLabel,
                     const std::string& valueLabel) {
  const double bottom = kTop + kPlotHeight;
  std::string svg = line(kLeft, kTop, kLeft, bottom) + line(kLeft, bottom, kWidth - kRight, bottom);
  for (int decade = static_cast<int>(std::floor(axes.logFirst));
       decade <= static_cast<int>(std::ceil(axes.logLast)); ++decade) {
    for (double step : {1.0, 2.0, 5.0}) {
      const double length = step * std::pow(10.0, decade);
      const double logL = std::log10(length);
      if (logL < axes.logFirst - 1e-9 || logL > axes.logLast + 1e-9) continue;
      const double x = axes.x(length);
      svg += line(x, bottom, x, bottom + (step == 1 ? 8 : 4));
      svg += text(x, bottom + 22, number(length), "middle", 11);
    }
  }
  svg += text((kLeft + kWidth - kRight) / 2, bottom + 45, lengthLabel, "middle");
  const double step = tickStep(axes.top);
  for (double value = 0; value <= axes.top * (1 + 1e-9); value += step) {
    svg += line(kLeft - 6, axes.y(value), kLeft, axes.y(value));
    svg += text(kLeft - 10, axes.y(value) + 4, number(value), "end", 11);
  }
  svg += "<text x=\"18\" y=\"" + number(kTop + kPlotHeight / 2) +
         "\" font-size=\"12\" text-anchor=\"middle\" transform=\"rotate(-90 18 " +
         number(kTop + kPlotHeight / 2) + ")\">" + xmlEscaped(valueLabel) + "</text>\n";
  return svg;
}

}  // namespace

std::string drawCurves(const std::vector<CurveEntry>& entries, const std::vector<double>& lengths,
                       const std::string& lengthLabel, const std::string& valueLabel) {
  Axes axes{std::log10(lengths.front()), std::log10(lengths.back()), topOf(entries)};
  if (!(axes.logLast > axes.logFirst)) axes.logLast = axes.logFirst + 1;
  const double legendTop = kTop + kPlotHeight + kAxisBelow + 10;
  const double height = legendTop + kLegendLine * static_cast<double>(entries.size()) + kTop;
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(kWidth) + "\" height=\"" +
         number(height) + "\" viewBox=\"0 0 " + number(kWidth) + " " + number(height) +
         "\" font-family=\"sans-serif\">\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  svg += drawAxes(axes, lengthLabel, valueLabel);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const CurveEntry& entry = entries[i];
    const char* colour = pictureColour(i);
    std::string points;
    for (std::size_t k = 0; k < lengths.size() && k < entry.lambdas.size(); ++k) {
      if (!std::isfinite(entry.lambdas[k])) continue;
      points += (points.empty() ? "" : " ") + number(axes.x(lengths[k])) + "," +
                number(axes.y(entry.lambdas[k]));
    }
    svg += "<polyline fill=\"none\" stroke=\"" + std::string(colour) +
           "\" stroke-width=\"2\" points=\"" + points + "\"/>\n";
    for (const auto& [length, lambda] : entry.minima) {
      const double x = axes.x(length), y = axes.y(lambda);
      svg += "<circle cx=\"" + number(x) + "\" cy=\"" + number(y) + "\" r=\"4\" fill=\"" + colour +
             "\"/>\n";
      // The files' values at one minimum stack upwards, in the files' order.
      const double above = y - 10 - kLabelStep * static_cast<double>(entries.size() - 1 - i);
      svg += "<text x=\"" + number(x) + "\" y=\"" + number(std::max(above, kTop + 10)) +
             "\" font-size=\"11\" text-anchor=\"middle\" fill=\"" + colour + "\">" +
             number(lambda) + "</text>\n";
    }
    const double y = legendTop + kLegendLine * static_cast<double>(i);
    svg += "<rect x=\"" + number(kLeft) + "\" y=\"" + number(y - 9) +
           "\" width=\"16\" height=\"8\" fill=\"" + colour + "\"/>\n";
    svg += text(kLeft + 22, y,
                entry.name + (entry.explanation.empty() ? "" : ": " + entry.explanation));
  }
  svg += "</svg>\n";
  return svg;
}
