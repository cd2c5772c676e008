// zorvik-make: a section file from the dimensions in a catalogue.
//
//   zorvik-make SHAPE DIMENSIONS... -o OUT.kaf [OPTIONS]
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/answer_checks.h"
#include "app/section_maker.h"
#include "section/cross_section.h"

namespace {

const int kWrongCommandLine = 2;

const char* const kUsage =
    "Usage: zorvik-make SHAPE DIMENSIONS... -o OUT.kaf [OPTIONS]\n"
    "\n"
    "Writes the centre-line model of a thin-walled section as a KAF file.\n"
    "\n"
    "Shapes and their dimensions (out-to-out, as catalogues print them):\n"
    "  channel D B t           web D - t, flanges B - t/2\n"
    "  lipped-channel D B L t  web D - t, flanges B - t, lips L - t/2\n"
    "  zed D B t               web D - t, flanges B - t/2\n"
    "  lipped-zed D B L t      web D - t, flanges B - t, lips L - t/2\n"
    "  hat D B F t             webs D - t, top B - t, brims F - t/2\n"
    "  angle B1 B2 t           legs B - t/2; B1 is the vertical leg\n"
    "  chain t WIDTH:ANGLE...  centre-line plates as they are\n"
    "A dimension over the outer faces loses t/2 at each folded edge and nothing at a\n"
    "free edge. The chain starts at the free end of the top part and runs along\n"
    "the plates; every angle lies in (-180, 180].\n"
    "\n"
    "Options:\n"
    "  -o OUT.kaf              the file to write (needed)\n"
    "  --centre-line           the dimensions are centre-line values\n"
    "  --lip-angle A           each lip A degrees from its flange's direction\n"
    "                          (default 90); with another angle than 90 the\n"
    "                          dimensions are taken as centre-line values\n"
    "  --units FORCE,LENGTH    default kN,mm\n"
    "  -E VALUE, -G VALUE, --mue VALUE\n"
    "                          modulus of elasticity, shear modulus, Poisson's ratio\n"
    "                          (default 21000, 8076.92, 0.3)\n"
    "  --divide N              every plate in N equal plates\n"
    "  --title TEXT            the section's title (default: shape and dimensions)\n"
    "  -h, --help              this text\n"
    "\n"
    "Exit code: 0 when the file was written, 1 when it could not be, 2 for a wrong\n"
    "command line.\n";

struct MakeRequest {
  SectionRecipe recipe;
  std::vector<std::string> words;  // shape and dimensions as given
  std::string output;
  bool help = false;
  bool lipAngleGiven = false;
};

Result number(const std::string& text, const std::string& what, double& value) {
  const std::optional<double> parsed = wholeNumberText(text);
  if (!parsed) return Result::failure("Not a number: " + text + " for " + what + ".");
  value = *parsed;
  return Result::success();
}

Result positiveDimension(const std::string& text, const std::string& name, double& value) {
  const std::optional<double> parsed = checkRadius(text);  // a number above 0
  if (!parsed) {
    return Result::failure("Not a dimension: " + text + " for " + name +
                           ". Type a number above 0, such as 75.");
  }
  value = *parsed;
  return Result::success();
}

Result takeOption(const std::vector<std::string>& arguments, std::size_t& at,
                  MakeRequest& request) {
  const std::string& option = arguments[at];
  SectionRecipe& recipe = request.recipe;
  if (option == "-h" || option == "--help") {
    request.help = true;
    return Result::success();
  }
  if (option == "--centre-line") {
    recipe.centreLine = true;
    return Result::success();
  }
  const bool takesValue = option == "-o" || option == "--lip-angle" || option == "--units" ||
                          option == "-E" || option == "-G" || option == "--mue" ||
                          option == "--divide" || option == "--title";
  if (!takesValue) {
    return Result::failure("Unknown option: " + option + ". zorvik-make --help lists the options.");
  }
  if (at + 1 >= arguments.size())
    return Result::failure("The option " + option + " needs a value.");
  const std::string& value = arguments[++at];
  if (option == "-o") {
    request.output = value;
  } else if (option == "--title") {
    recipe.title = value;
  } else if (option == "--units") {
    const std::size_t comma = value.find(',');
    recipe.force = value.substr(0, comma);
    recipe.length = comma == std::string::npos ? "" : value.substr(comma + 1);
    const bool word = recipe.force.find_first_of(" \t") == std::string::npos &&
                      recipe.length.find_first_of(" \t,") == std::string::npos;
    if (recipe.force.empty() || recipe.length.empty() || !word) {
      return Result::failure("Not units: " + value + ". Type FORCE,LENGTH, such as kN,mm.");
    }
  } else if (option == "--divide") {
    const std::optional<int> pieces = checkDivisionNumber(value);
    if (!pieces)
      return Result::failure("Not a division number: " + value +
                             ". Type a whole number from 1 up.");
    recipe.divide = *pieces;
  } else if (option == "--lip-angle") {
    request.lipAngleGiven = true;
    Result read = number(value, "the lip angle", recipe.lipAngle);
    if (read && !(recipe.lipAngle > 0 && recipe.lipAngle < 180)) {
      read =
          Result::failure("Not a lip angle: " + value + ". Type an angle above 0 and below 180.");
    }
    return read;
  } else {
    double& target = option == "-E" ? recipe.E : option == "-G" ? recipe.G : recipe.MUE;
    return number(value, option, target);
  }
  return Result::success();
}

// The shape and its dimensions from the words that are not options.
Result takeShape(MakeRequest& request) {
  SectionRecipe& recipe = request.recipe;
  if (request.words.empty())
    return Result::failure("No shape given. zorvik-make --help lists the shapes.");
  recipe.shape = request.words.front();
  const std::vector<std::string>* names = nullptr;
  std::string shapes;
  for (const auto& [shape, dimensions] : sectionShapes()) {
    shapes += (shapes.empty() ? "" : ", ") + shape;
    if (shape == recipe.shape) names = &dimensions;
  }
  if (!names)
    return Result::failure("Unknown shape: " + recipe.shape + ". The shapes are " + shapes + ".");
  const std::vector<std::string> given(request.words.begin() + 1, request.words.end());
  const bool chain = recipe.shape == "chain";
  if (chain ? given.size() < 2 : given.size() != names->size()) {
    std::string list;
    for (const std::string& name : *names) list += " " + name;
    return Result::failure(recipe.shape + " takes" + list + (chain ? " WIDTH:ANGLE..." : "") +
                           ": " + std::to_string(given.size()) + " given.");
  }
  recipe.dimensions.assign(names->size(), 0.0);
  for (std::size_t i = 0; i < names->size(); ++i) {
    const Result read = positiveDimension(given[i], (*names)[i], recipe.dimensions[i]);
    if (!read) return read;
  }
  for (std::size_t i = names->size(); chain && i < given.size(); ++i) {
    const std::size_t colon = given[i].find(':');
    double width = 0;
    double angle = 0;
    Result read =
        colon == std::string::npos
            ? Result::failure("Not a plate: " + given[i] + ". Type WIDTH:ANGLE, such as 75:0.")
            : positiveDimension(given[i].substr(0, colon),
                                "the width of plate " + std::to_string(i), width);
    if (read)
      read = number(given[i].substr(colon + 1), "the angle of plate " + std::to_string(i), angle);
    if (!read) return read;
    recipe.chainWidths.push_back(width);
    recipe.chainAngles.push_back(angle);
  }
  return Result::success();
}

Result parse(const std::vector<std::string>& arguments, MakeRequest& request) {
  for (std::size_t at = 0; at < arguments.size(); ++at) {
    const std::string& argument = arguments[at];
    // A word that starts with '-' followed by a digit is a number (an angle).
    const bool option = argument.size() > 1 && argument[0] == '-' &&
                        !(argument[1] >= '0' && argument[1] <= '9') && argument[1] != '.';
    if (!option) {
      request.words.push_back(argument);
      continue;
    }
    const Result taken = takeOption(arguments, at, request);
    if (!taken || request.help) return taken;
  }
  const Result shape = takeShape(request);
  if (!shape) return shape;
  const std::string& name = request.recipe.shape;
  if (request.lipAngleGiven && name != "lipped-channel" && name != "lipped-zed") {
    return Result::failure("A " + name + " has no lips: --lip-angle does not apply to it.");
  }
  if (request.output.empty()) return Result::failure("No file to write: name it with -o OUT.kaf.");
  return Result::success();
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  MakeRequest request;
  Result parsed = parse(arguments, request);
  if (parsed && request.help) {
    std::cout << kUsage;
    return 0;
  }
  CrossSection section;
  if (parsed) {
    parsed = makeSection(request.recipe, section);
    if (!parsed) parsed = Result::failure("Not a section: " + parsed.reason() + ".");
  }
  if (!parsed) {
    std::cerr << "zorvik-make: " << parsed.reason() << '\n';
    return kWrongCommandLine;
  }
  const Result saved = section.save(request.output);
  if (!saved) {
    std::cerr << "zorvik-make: " << request.output << " was not written: " << saved.reason()
              << '\n';
    return 1;
  }
  std::cout << request.output << '\n';
  return 0;
}
