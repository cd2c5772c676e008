#include "make/make_run.h"

#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "console/options.h"
#include "console/value_rules.h"
#include "make/catalogue.h"
#include "section/cross_section.h"
#include "section/material.h"
#include "section/section_check.h"

namespace {

const CommandLineRules kRules{"zorvik-make", true};

struct MakeRequest {
  SectionRecipe recipe;
  std::vector<std::string> words;  // shape and dimensions as given
  std::string output;
  bool lipAngleGiven = false;
};

Result number(const std::string& text, const std::string& what, double& value) {
  const std::optional<double> parsed = parseNumber(text);
  if (!parsed) return Result::failure("Not a number: " + text + " for " + what + ".");
  value = *parsed;
  return Result::success();
}

// A line break or another control character in a title or a unit would
// break the file's lines: such a file could not be loaded back.
bool hasControlCharacter(const std::string& text) {
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) return true;
  }
  return false;
}

Result takeTitle(const std::string& value, SectionRecipe& recipe) {
  if (hasControlCharacter(value)) {
    return Result::failure("Not a title: it holds a line break or another control character.");
  }
  recipe.title = value;
  return Result::success();
}

Result takeOutput(const std::string& value, MakeRequest& request) {
  if (value == "-") {
    return Result::failure(
        "zorvik-make writes a file, not standard output: name it with "
        "-o OUT.kaf.");
  }
  request.output = value;
  return Result::success();
}

Result takeUnits(const std::string& value, SectionRecipe& recipe) {
  const std::size_t comma = value.find(',');
  recipe.force = value.substr(0, comma);
  recipe.length = comma == std::string::npos ? "" : value.substr(comma + 1);
  const bool word = recipe.force.find_first_of(" \t") == std::string::npos &&
                    recipe.length.find_first_of(" \t,") == std::string::npos;
  if (recipe.force.empty() || recipe.length.empty() || !word || hasControlCharacter(value)) {
    return Result::failure("Not units: " + value + ". Type FORCE,LENGTH, such as kN,mm.");
  }
  return checkUnits(recipe.force, recipe.length);
}

// A material constant: a number that rule accepts, or the line that says what is wanted.
Result takeConstant(const std::string& value, const char* what, const char* wanted,
                    bool (*rule)(double), std::optional<double>& target) {
  const std::optional<double> parsed = parseNumber(value);
  if (!parsed || !rule(*parsed)) {
    return Result::failure(std::string("Not ") + what + ": " + value + ". Type " + wanted + ".");
  }
  target = parsed;
  return Result::success();
}

Result takeDivide(const std::string& value, SectionRecipe& recipe) {
  return checkWholeFromOne(value, "a division number", recipe.divide);
}

Result takeLipAngle(const std::string& value, MakeRequest& request) {
  request.lipAngleGiven = true;
  const Result read = number(value, "the lip angle", request.recipe.lipAngle);
  if (read && !(request.recipe.lipAngle > 0 && request.recipe.lipAngle < 180)) {
    return Result::failure("Not a lip angle: " + value + ". Type an angle above 0 and below 180.");
  }
  return read;
}

std::vector<OptionSpec> makeOptions(MakeRequest& request) {
  SectionRecipe& recipe = request.recipe;
  return {
      {"-o", "--output", "OUT.kaf", "the file to write (needed)",
       [&request](const std::string& value) { return takeOutput(value, request); }},
      {"", "--centre-line", "", "the dimensions are centre-line values",
       setFlag(recipe.centreLine)},
      {"", "--lip-angle", "A",
       "each lip A degrees from its flange's direction\n(default 90); with another angle than "
       "90 the\ndimensions are taken as centre-line values",
       [&request](const std::string& value) { return takeLipAngle(value, request); }},
      {"", "--units", "FORCE,LENGTH", "default kN,mm",
       [&recipe](const std::string& value) { return takeUnits(value, recipe); }},
      {"-E", "", "E", "modulus of elasticity (default: steel in the units,\n210 for kN,mm)",
       [&recipe](const std::string& value) {
         return takeConstant(value, "a modulus of elasticity", "a number above 0, such as 210",
                             isModulusValue, recipe.E);
       }},
      {"-G", "", "G", "shear modulus (default: E / (2 (1 + MUE)))",
       [&recipe](const std::string& value) {
         return takeConstant(value, "a shear modulus", "a number above 0, such as 80.77",
                             isModulusValue, recipe.G);
       }},
      {"", "--mue", "MUE", "Poisson's ratio (default 0.3)",
       [&recipe](const std::string& value) {
         return takeConstant(value, "a Poisson's ratio",
                             "a number above -1 and below 0.5, such as 0.3", isPoissonRatio,
                             recipe.MUE);
       }},
      {"", "--divide", "N", "every plate in N equal plates",
       [&recipe](const std::string& value) { return takeDivide(value, recipe); }},
      {"", "--title", "TEXT", "the section's title (default: shape and dimensions)",
       [&recipe](const std::string& value) { return takeTitle(value, recipe); }},
  };
}

std::string usageText() {
  MakeRequest unused;
  return "Usage: zorvik-make SHAPE DIMENSIONS... -o OUT.kaf [OPTIONS]\n"
         "\n"
         "Writes the centre-line model of a thin-walled section as a KAF file.\n"
         "\n"
         "Shapes and their dimensions (out-to-out, as catalogues print them):\n" +
         shapesText() +
         "A dimension over the outer faces loses t/2 at each folded edge and nothing at a\n"
         "free edge. The chain starts at the free end of the top part and runs along\n"
         "the plates; every angle lies in (-180, 180].\n"
         "\n"
         "Options:\n" +
         optionsText(makeOptions(unused)) + "\n" +
         exitCodesText("the file was written", "it could not be");
}

// The shape and its dimensions from the words that are not options.
Result takeShape(MakeRequest& request) {
  SectionRecipe& recipe = request.recipe;
  if (request.words.empty())
    return Result::failure("No shape given. zorvik-make --help lists the shapes.");
  recipe.shape = request.words.front();
  const CatalogueShape* shape = findShape(recipe.shape);
  if (!shape) {
    std::string shapes;
    for (const CatalogueShape& known : catalogueShapes()) {
      shapes += (shapes.empty() ? "" : ", ") + known.name;
    }
    return Result::failure("Unknown shape: " + recipe.shape + ". The shapes are " + shapes + ".");
  }
  const std::vector<ShapeDimension>& names = shape->dimensions;
  const std::vector<std::string> given(request.words.begin() + 1, request.words.end());
  const bool chain = !shape->plates;
  if (chain ? given.size() < 2 : given.size() != names.size()) {
    std::string list;
    for (const ShapeDimension& name : names) list += " " + name.name;
    return Result::failure(recipe.shape + " takes" + list + (chain ? " WIDTH:ANGLE..." : "") +
                           ": " + std::to_string(given.size()) + " given.");
  }
  recipe.dimensions.assign(names.size(), 0.0);
  for (std::size_t i = 0; i < names.size(); ++i) {
    const Result dimension = checkDimension(given[i], names[i].name, recipe.dimensions[i]);
    if (!dimension) return dimension;
  }
  for (std::size_t i = names.size(); chain && i < given.size(); ++i) {
    const std::size_t colon = given[i].find(':');
    if (colon == std::string::npos) {
      return Result::failure("Not a plate: " + given[i] + ". Type WIDTH:ANGLE, such as 75:0.");
    }
    const std::string widthText = given[i].substr(0, colon);
    double width = 0;
    const Result widthTaken =
        checkDimension(widthText, "the width of plate " + std::to_string(i), width);
    if (!widthTaken) return widthTaken;
    double angle = 0;
    const Result read =
        number(given[i].substr(colon + 1), "the angle of plate " + std::to_string(i), angle);
    if (!read) return read;
    recipe.chainWidths.push_back(width);
    recipe.chainAngles.push_back(angle);
  }
  return Result::success();
}

Result parse(const std::vector<std::string>& arguments, ParsedCommandLine& parsed,
             MakeRequest& request) {
  const Result read = parseCommandLine(arguments, makeOptions(request), kRules, parsed);
  if (!read || parsed.help || parsed.version) return read;
  request.words = parsed.arguments;
  const Result shape = takeShape(request);
  if (!shape) return shape;
  const std::string& name = request.recipe.shape;
  if (request.lipAngleGiven && !findShape(name)->lipped) {
    return Result::failure("A " + name + " has no lips: --lip-angle does not apply to it.");
  }
  if (request.output.empty()) return Result::failure("No file to write: name it with -o OUT.kaf.");
  return Result::success();
}

}  // namespace

int runMake(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  ParsedCommandLine parsed;
  MakeRequest request;
  Result made = parse(arguments, parsed, request);
  if (made && parsed.help) {
    out << usageText();
    return 0;
  }
  if (made && parsed.version) {
    out << versionLine("zorvik-make") << '\n';
    return 0;
  }
  CrossSection section;
  if (made) {
    made = makeSection(request.recipe, section);
    if (!made) made = Result::failure("Not a section: " + made.reason() + ".");
  }
  if (!made) return refuseCommandLine(err, "zorvik-make", made);
  const Result saved = section.save(request.output);
  if (!saved) {
    err << "zorvik-make: " << request.output << " was not written: " << saved.reason() << '\n';
    return 1;
  }
  for (const std::string& note : sectionNotes(section, request.output)) out << note << '\n';
  out << request.output << '\n';
  return 0;
}
