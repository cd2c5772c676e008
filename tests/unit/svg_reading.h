// Reading back the pictures that the programs draw, for the tests: the
// elements of an SVG with their attributes, the points of its paths and
// polylines, and the boxes that its texts take, by an estimate of their
// width of its own (0.6 of the font size a byte).
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <vector>

struct SvgElement {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::string content;  // a text's, with its character references read
  bool has(const std::string& key) const { return attributes.count(key) > 0; }
  std::string get(const std::string& key) const {
    const auto found = attributes.find(key);
    return found == attributes.end() ? std::string() : found->second;
  }
  double number(const std::string& key) const { return std::stod(attributes.at(key)); }
};

inline std::string unescapedXml(std::string text) {
  const std::pair<const char*, const char*> references[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
  for (const auto& [reference, character] : references) {
    for (std::size_t at = text.find(reference); at != std::string::npos;
         at = text.find(reference, at + 1)) {
      text.replace(at, std::string(reference).size(), character);
    }
  }
  return text;
}

// Every element in the order of the file (the svg element itself first).
inline std::vector<SvgElement> svgElements(const std::string& svg) {
  std::vector<SvgElement> elements;
  const std::regex tag(R"(<([a-z]+)((?:\s+[A-Za-z0-9:-]+="[^"]*")*)\s*/?>)");
  const std::regex attribute(R"re(([A-Za-z0-9:-]+)="([^"]*)")re");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), tag); it != std::sregex_iterator();
       ++it) {
    SvgElement element;
    element.name = (*it)[1];
    const std::string attributes = (*it)[2];
    for (auto a = std::sregex_iterator(attributes.begin(), attributes.end(), attribute);
         a != std::sregex_iterator(); ++a) {
      element.attributes[(*a)[1]] = (*a)[2];
    }
    if (element.name == "text") {
      const std::size_t start = static_cast<std::size_t>(it->position() + it->length());
      element.content = unescapedXml(svg.substr(start, svg.find("</text>", start) - start));
    }
    elements.push_back(element);
  }
  return elements;
}

struct PicturePoint {
  double x = 0.0, y = 0.0;
};

// The subpaths of a path's d (M and L only), or the points of a polyline.
inline std::vector<std::vector<PicturePoint>> pathPoints(const std::string& d) {
  std::vector<std::vector<PicturePoint>> paths;
  const std::regex command(R"(([ML])\s*(-?[0-9.e+-]+)[ ,](-?[0-9.e+-]+))");
  for (auto it = std::sregex_iterator(d.begin(), d.end(), command); it != std::sregex_iterator();
       ++it) {
    if ((*it)[1] == "M" || paths.empty()) paths.emplace_back();
    paths.back().push_back({std::stod((*it)[2]), std::stod((*it)[3])});
  }
  return paths;
}

inline std::vector<PicturePoint> polylinePoints(const SvgElement& polyline) {
  std::vector<PicturePoint> points;
  const std::string text = polyline.get("points");
  const std::regex pair(R"((-?[0-9.e+-]+),(-?[0-9.e+-]+))");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), pair); it != std::sregex_iterator();
       ++it) {
    points.push_back({std::stod((*it)[1]), std::stod((*it)[2])});
  }
  return points;
}

struct PictureBox {
  double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
  bool overlaps(const PictureBox& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
};

// A text's box: one font size above its baseline, 0.6 of the font size a
// byte wide, placed by its anchor; a text turned by rotate(-90 x y) stands
// upright to the left of x.
inline PictureBox textBoxOf(const SvgElement& text) {
  const double size = text.number("font-size");
  const double width = 0.6 * size * static_cast<double>(text.content.size());
  const std::string anchor = text.has("text-anchor") ? text.get("text-anchor") : "start";
  const double shift = anchor == "middle" ? width / 2 : anchor == "end" ? width : 0;
  const double x = text.number("x"), y = text.number("y");
  if (text.get("transform").rfind("rotate(-90", 0) == 0) {
    return {x - size, y - width + shift, x, y + shift};
  }
  return {x - shift, y - size, x - shift + width, y};
}

struct ViewBox {
  double width = 0.0, height = 0.0;
};

inline ViewBox viewBoxOf(const std::vector<SvgElement>& elements) {
  EXPECT_FALSE(elements.empty());
  if (elements.empty()) return {};
  double x = 1, y = 1, width = 0, height = 0;
  std::sscanf(elements.front().get("viewBox").c_str(), "%lf %lf %lf %lf", &x, &y, &width, &height);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  return {width, height};
}

// Every coordinate of every element, and every text's box, inside the view box.
inline void expectInsideViewBox(const std::vector<SvgElement>& elements) {
  const ViewBox box = viewBoxOf(elements);
  auto inside = [&](double x, double y, const std::string& what) {
    EXPECT_TRUE(x >= 0 && x <= box.width && y >= 0 && y <= box.height)
        << what << " at " << x << ", " << y << " outside 0 0 " << box.width << " " << box.height;
  };
  for (const SvgElement& e : elements) {
    if (e.name == "line") {
      inside(e.number("x1"), e.number("y1"), "a line");
      inside(e.number("x2"), e.number("y2"), "a line");
    } else if (e.name == "circle") {
      const double r = e.number("r");
      inside(e.number("cx") - r, e.number("cy") - r, "a circle");
      inside(e.number("cx") + r, e.number("cy") + r, "a circle");
    } else if (e.name == "text") {
      const PictureBox t = textBoxOf(e);
      inside(t.left, t.top, "text " + e.content);
      inside(t.right, t.bottom, "text " + e.content);
    } else if (e.name == "rect" && e.has("x")) {
      inside(e.number("x"), e.number("y"), "a rectangle");
      inside(e.number("x") + e.number("width"), e.number("y") + e.number("height"), "a rectangle");
    } else if (e.name == "polyline") {
      for (const PicturePoint& p : polylinePoints(e)) inside(p.x, p.y, "a polyline");
    } else if (e.name == "path") {
      for (const auto& path : pathPoints(e.get("d"))) {
        for (const PicturePoint& p : path) inside(p.x, p.y, "a path");
      }
    }
  }
}

// No two texts overlap.
inline void expectTextsApart(const std::vector<SvgElement>& elements) {
  std::vector<const SvgElement*> texts;
  for (const SvgElement& e : elements) {
    if (e.name == "text") texts.push_back(&e);
  }
  for (std::size_t i = 0; i < texts.size(); ++i) {
    for (std::size_t j = i + 1; j < texts.size(); ++j) {
      EXPECT_FALSE(textBoxOf(*texts[i]).overlaps(textBoxOf(*texts[j])))
          << "\"" << texts[i]->content << "\" and \"" << texts[j]->content << "\"";
    }
  }
}

// How a line is drawn: its colour, width and dash.
inline std::string strokeOf(const SvgElement& e) {
  return e.get("stroke") + " " + e.get("stroke-width") + " " + e.get("stroke-dasharray");
}

// The legend's entries: each a sample line (a line with a stroke width)
// followed by its text; as text and stroke.
inline std::vector<std::pair<std::string, std::string>> legendEntries(
    const std::vector<SvgElement>& elements) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (std::size_t i = 1; i < elements.size(); ++i) {
    const SvgElement& sample = elements[i - 1];
    if (elements[i].name == "text" && sample.name == "line" && sample.has("stroke-width")) {
      entries.emplace_back(elements[i].content, strokeOf(sample));
    }
  }
  return entries;
}
