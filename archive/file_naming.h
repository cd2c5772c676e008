// Names of the generated files: the input's drive, directory and extension
// stay, and a suffix goes at the end of its base name. The names of a
// round's two files are made and read back here.
#pragma once

#include <string>

// Puts suffix at the end of the base name of path, before the extension.
// "C:\data\chan.kaf" with "-rr1" becomes "C:\data\chan-rr1.kaf". Both '\' and
// '/' separate directories; only the last point after them starts the extension.
void insertNameSuffix(std::string& path, const std::string& suffix);

// path with its extension replaced: "C:\data\chan.kaf" with ".svg" is "C:\data\chan.svg".
std::string withExtension(const std::string& path, const std::string& extension);

// The folder part of path with its separator ("C:\\data\\" of "C:\\data\\chan.kaf",
// "" for a bare name), so that folder + name names a file beside path.
std::string folderOf(const std::string& path);

// The file name of path without its folder: "chan.kaf" of "C:\\data\\chan.kaf".
std::string fileNameOf(const std::string& path);

// name inside folder: a separator is put between them unless folder ends
// with one.
std::string inFolder(const std::string& folder, const std::string& name);

// The two files of the counter-th round of an input: "-rrN" for MAV3 and
// "-rrN-shear" for MAV4, beside the input or in outputFolder when it is not
// empty.
struct RoundFileNames {
  std::string mav3;
  std::string mav4;
};
RoundFileNames roundFileNames(const std::string& inputName, const std::string& outputFolder,
                              int counter);

// A round's name read back: the counter N when fileName (without a folder) is
// the name of the MAV3 or the MAV4 file of round N of inputName, as
// roundFileNames makes them; 0 for any other name. shear tells which of the two.
int roundCounterOf(const std::string& fileName, const std::string& inputName, bool& shear);
