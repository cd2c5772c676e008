// Sine, cosine and tangent of an angle in radians, computed by the program
// itself so that the Linux and the Windows build write byte-identical files:
// the platforms' own functions differ in the last bits near multiples of pi/2
// (cos(90 degrees) is 6.12323e-17 on one and 6.12302e-17 on another).
#pragma once

double portableSin(double radians);
double portableCos(double radians);
double portableTan(double radians);
