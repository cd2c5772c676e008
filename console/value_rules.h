// The rules by which values are taken, one home for each: the dialogue's
// answers, the options of every program and zorvik-make's dimensions all
// call them. Each check takes the text into its value and succeeds, or is
// refused with the sentence that says why ("Not a thickness: 2,5. Type a
// number above 0, such as 2.5.") and leaves the value as it was.
//
// A text is "a number" when it is wholly one: optional sign, digits with an
// optional decimal point (at least one digit), an optional exponent, nothing
// after it; out of range is not a number. A "whole number" is an optional
// sign and digits only.
#pragma once

#include <optional>
#include <string>

#include "platform/result.h"

std::optional<double> parseNumber(const std::string& text);
std::optional<int> parseWholeNumber(const std::string& text);
// A number above 0.
std::optional<double> parsePositive(const std::string& text);

const int kMostRadii = 1000;

// A number above 0 (whether its plate stiffness is finite depends on the
// material of the file).
Result checkThickness(const std::string& text, double& thickness);
// A number above 0 that fits a plate with E and MUE (thicknessFits); one
// that does not is refused for its stiffness ("Not a thickness for this
// material: 2 gives a plate stiffness that is not finite.").
Result checkThickness(const std::string& text, double E, double MUE, double& thickness);
// A whole number from 0 to kMostRadii; 0 stops.
Result checkRadiusCount(const std::string& text, int& count);
// 0 for convex (true) or 1 for concave, as the one key typed.
Result checkConvex(const std::string& text, bool& convex);
// A whole number from 0 up: the arc plates of a corner, in the dialogue and
// as the option --elements.
Result checkElementsPerCorner(const std::string& text, int& count);
// 0 or 1, as the one key typed.
Result checkSubdivide(const std::string& text, int& answer);
// A number above 0.
Result checkRadius(const std::string& text, double& radius);
// The first of the two numbers of a range typed as "FIRST LAST": a number
// above 0, checked as soon as it is typed.
Result checkFirstRadius(const std::string& text, double& radius);
// The last of them: a number (the range is checked with the first).
Result checkRangeEnd(const std::string& text, double& radius);
// A first and a last radius that make a range: the first above 0 and below
// the last; the texts are as typed, for the reason.
Result checkRadiusRange(const std::string& firstText, const std::string& lastText, double first,
                        double last);
// A whole number of 1 or more; what names it in the reason ("a division
// number for plate 2", "a number of strips").
Result checkWholeFromOne(const std::string& text, const std::string& what, int& count);
// A catalogue dimension: a number above 0; name says which ("D").
Result checkDimension(const std::string& text, const std::string& name, double& value);

// The radius that the dialogue and the options take when none is given.
inline double defaultRadius(double thickness) { return 2 * thickness; }

// A refusal with what Return does in its place: "Not a thickness: x. Type a
// number above 0, such as 2.5, or Return to keep 1.5." of the refusal's
// reason and "keep 1.5"; a reason that asks for nothing to be typed gets
// " Type another, or Return to keep 1.5.".
std::string withReturnAdvice(const Result& refusal, const std::string& whatReturnDoes);

// A number truncated toward zero, held within the range of int.
int truncateToInt(double value);
