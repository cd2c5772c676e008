// zorvik-view: section properties of KAF files side by side, and one SVG
// picture of all of them to one scale, written next to the first file.
//
//   zorvik-view FILE.kaf [MORE.kaf ...]
#include <algorithm>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "app/console_input.h"
#include "archive/file_naming.h"
#include "archive/numbers.h"
#include "report/section_picture.h"
#include "report/section_properties.h"

namespace {

struct Row {
  const char* name;
  int lengthPower;  // the unit of the row is Laenge to this power (0: degrees)
  double SectionProperties::*value;
};

const Row kRows[] = {{"A", 2, &SectionProperties::area},
                     {"y_c", 1, &SectionProperties::yc},
                     {"z_c", 1, &SectionProperties::zc},
                     {"I_y", 4, &SectionProperties::Iy},
                     {"I_z", 4, &SectionProperties::Iz},
                     {"I_yz", 4, &SectionProperties::Iyz},
                     {"I_1", 4, &SectionProperties::I1},
                     {"I_2", 4, &SectionProperties::I2},
                     {"angle", 0, &SectionProperties::principalAngle}};

std::string padLeft(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string padRight(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string baseName(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

void printTable(const std::vector<PictureEntry>& entries) {
  const std::string& length = entries.front().section->Laenge;
  const std::size_t labelWidth = 16;
  std::vector<std::size_t> widths;
  std::cout << padRight("", labelWidth);
  for (const PictureEntry& entry : entries) {
    widths.push_back(std::max<std::size_t>(14, entry.name.size() + 2));
    std::cout << padLeft(entry.name, widths.back());
  }
  std::cout << '\n' << padRight("units", labelWidth);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const CrossSection& section = *entries[i].section;
    std::cout << padLeft(section.Kraft + ", " + section.Laenge, widths[i]);
  }
  std::cout << '\n';
  for (const Row& row : kRows) {
    const std::string unit = row.lengthPower == 0 ? "deg"
                             : row.lengthPower == 1
                                 ? length
                                 : length + "^" + std::to_string(row.lengthPower);
    std::cout << padRight(std::string(row.name) + " [" + unit + "]", labelWidth);
    for (std::size_t i = 0; i < entries.size(); ++i) {
      std::cout << padLeft(formatReal(entries[i].properties.*row.value), widths[i]);
    }
    std::cout << '\n';
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cout << "zorvik-view: section properties and a picture of KAF files\n"
                 "Usage: zorvik-view FILE.kaf [MORE.kaf ...]\n";
    return 1;
  }
  int exitCode = 0;
  std::vector<CrossSection> sections;
  std::vector<std::string> names;
  std::vector<std::string> paths;
  sections.reserve(static_cast<std::size_t>(argc));
  for (int i = 1; i < argc; ++i) {
    CrossSection section;
    Result loaded = section.load(argv[i]);
    if (loaded) loaded = checkMeasurable(section);
    if (!loaded) {
      std::cout << "Cannot read " << argv[i] << ": " << loaded.reason() << '\n';
      exitCode = 1;
      continue;
    }
    sections.push_back(std::move(section));
    names.push_back(baseName(argv[i]));
    paths.push_back(argv[i]);
  }
  if (!sections.empty()) {
    std::vector<PictureEntry> entries;
    for (std::size_t i = 0; i < sections.size(); ++i) {
      entries.push_back({names[i], &sections[i], computeProperties(sections[i])});
    }
    printTable(entries);
    const std::string picture = withExtension(paths.front(), ".svg");
    std::ofstream out(picture, std::ios::binary | std::ios::trunc);
    out << drawSections(entries);
    out.close();
    if (out) {
      std::cout << "Picture: " << picture << '\n';
    } else {
      std::cout << "Cannot write the picture " << picture << '\n';
      exitCode = 1;
    }
  }
  std::cout << "Press key..." << std::flush;
  readKey();
  std::cout << '\n';
  return exitCode;
}
