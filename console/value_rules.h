// The rules by which values are taken, one home for each: the dialogue's
// answers, the options of every program and zorvik-make's dimensions all
// call them. Each check gives the value, or nothing when the text cannot be
// taken; the messages say why one is not.
//
// A text is "a number" when it is wholly one: optional sign, digits with an
// optional decimal point (at least one digit), an optional exponent, nothing
// after it; out of range is not a number. A "whole number" is an optional
// sign and digits only.
#pragma once

#include <optional>
#include <string>

std::optional<double> parseNumber(const std::string& text);
std::optional<int> parseWholeNumber(const std::string& text);

// A number above 0.
std::optional<double> checkPositive(const std::string& text);
// A number above 0 whose plate stiffness with E and MUE is finite.
std::optional<double> checkThickness(const std::string& text, double E, double MUE);
// A whole number from 0 to kMostRadii; 0 stops.
std::optional<int> checkRadiusCount(const std::string& text);
// A number; 0 and what converts to the integer 0 (0.9) is convex (true).
std::optional<bool> checkConvex(const std::string& text);
// A number of 0 or more, truncated toward zero.
std::optional<int> checkElementsPerCorner(const std::string& text);
// A number whose truncation is 0 or 1.
std::optional<int> checkSubdivide(const std::string& text);
// A number above 0.
std::optional<double> checkRadius(const std::string& text);
// A first and a last radius that make a range: the first above 0 and below the last.
bool isRadiusRange(double first, double last);
// A whole number of 1 or more.
std::optional<int> checkDivisionNumber(const std::string& text);
// A catalogue dimension: a number above 0.
std::optional<double> checkDimension(const std::string& text);

// The radius that the dialogue and the options take when none is given.
inline double defaultRadius(double thickness) { return 2 * thickness; }

const int kMostRadii = 1000;

// The messages, without what the dialogue adds about Return. Each begins
// with a blank and ends with its sentence's point.
std::string notAThickness(const std::string& text);  // "... such as 2.5" (no point)
std::string notARadiusCount(const std::string& text);
std::string notConvexOrConcave(const std::string& text);
std::string notElementsPerCorner(const std::string& text);
std::string notSubdivide(const std::string& text);
std::string notARadius(const std::string& text);
std::string notARangeToken(const std::string& text);
std::string notARange(const std::string& first, const std::string& last);
std::string notADivisionNumber(int plate, const std::string& text);
std::string notADimension(const std::string& text, const std::string& name);  // no blank

// A number truncated toward zero, held within the range of int.
int truncateToInt(double value);
