// zorvik-buckle: the buckling signature curves of sections side by side, in
// one table and one picture.
//
//   zorvik-buckle [OPTIONS] FILE.kaf...
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The whole program; returns the exit code: 0 when every file was analysed
// and everything asked was written, 1 when not, 2 for a wrong command line
// or files of different unit systems.
int runBuckle(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
