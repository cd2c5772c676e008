// Text <-> number conversions shared by the console dialogue and the section
// file. One scanner and one formatter of our own, so that every platform reads
// and writes numbers identically (a point as decimal separator, no locale, no
// hexadecimal, no "inf" or "nan").
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Parses the longest number at the start of text (no white space skipped):
// optional sign, digits, for reals an optional point with digits and an
// optional exponent. Returns the characters used, or 0 when there is no number
// or it is out of range; then value is left as it was.
std::size_t scanInt(std::string_view text, int& value);
std::size_t scanDouble(std::string_view text, double& value);

// The number at the start of text after leading white space; 0 when there is
// none or it lies outside the range of its type. The rest of text is ignored.
int toInt(const std::string& text);
float toFloat(const std::string& text);

// A real in the form of printf's %g: six significant digits, trailing zeros
// dropped, exponent form with at least two digits for very small or large values.
std::string formatReal(double value);
// The same into a buffer of at least 32 characters; returns the end.
char* formatReal(double value, char* buffer);
// The same with 1 to 17 significant digits in place of six.
char* formatReal(double value, int digits, char* buffer);

// The number of significant digits with which a file holds a real.
const int kFileDigits = 6;
// The value as a file holds it: formatted with digits and read back.
double roundedToDigits(double value, int digits = kFileDigits);

// A real in the form of printf's %<width>.<decimals>f.
std::string formatFixed(double value, int decimals, int width);
// The same into a buffer of at least 400 characters (the widest double);
// returns the end.
char* formatFixed(double value, int decimals, int width, char* buffer);

// True for blank, tab, line feed, carriage return, vertical tab and form feed.
inline bool isBlankSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
