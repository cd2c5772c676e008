#include "section/cross_section.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "rounding/corner_rounding.h"
#include "rounding/thickness.h"
#include "tests/unit/test_files.h"
#include "unit/section_equality.h"

namespace {

class CrossSectionFileTest : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return directory_.path(name); }
  std::string write(const std::string& name, const std::string& bytes) {
    writeFile(path(name), bytes);
    return path(name);
  }
  // Loads bytes as a file and returns the reason load gave, or "" for success.
  std::string loadFailure(const std::string& bytes) {
    CrossSection section;
    const Result result = section.load(write("damaged.kaf", bytes));
    return result.ok() ? "" : result.reason();
  }

 private:
  TemporaryDirectory directory_;
};

const char* const kFreshSectionFile =
    "**** PLX-Datei, Formatversion = 1.54 ****\n"
    "\n"
    "*** Typ ns nk nk1 nk2 nk3 Kraft Laenge nla nlas nlak nps ndb nsf FG nz nzl nzb nzd ***\n"
    "1 0 0 0 0 0 kN mm 0 0 0 0 0 0 u 0 0 0 0 \n"
    "*** E-Modul  G-MODUL MUE ***\n"
    "21000 8076.92 0.3 \n"
    "*** Querschnittserlaeuterung ***\n"
    "0\n"
    "*** Anfangs- Endknoten ***\n"
    "\n\n"
    "*** Knotenkoordinaten, Scheiben ***\n"
    "\n\n\n"
    "*** Scheiben b_r t_r alpha_r K_r D_r ***\n"
    "\n\n\n\n"
    "*** Keine Randlagerungen ***\n"
    "*** Keine Pendelstaebe an Innenknoten ***\n"
    "*** Keine Drehfedern ***\n"
    "*** Keine Schubfedern ***\n"
    "*** Schwerpunkt, Hauptachsen ***\n"
    "0 0 0 0 \n"
    "*** Zustandsattribute ***\n"
    "\n"
    "\n";

TEST_F(CrossSectionFileTest, FreshSectionWritesTheDefaultLayout) {
  CrossSection section;
  ASSERT_TRUE(section.save(path("fresh.kaf")).ok());
  EXPECT_EQ(readFile(path("fresh.kaf")), kFreshSectionFile);
}

TEST_F(CrossSectionFileTest, EveryBlockRoundTrips) {
  CrossSection first;
  ASSERT_TRUE(first.load(testDataPath("full.kaf")).ok());
  EXPECT_EQ(first.explanation, (TextList{"Lipped channel 200 x 75 x 20", "from the shop drawing"}));
  EXPECT_EQ(first.rotSpringValue, (RealList{0.1, 0.2}));
  EXPECT_EQ(first.G, 8000);
  EXPECT_EQ(first.plateBearingStiffness, (RealList{12.5, 3.67394e-15}));
  EXPECT_EQ(first.state.attributes, (IntList{4, 5, 6}));
  ASSERT_TRUE(first.save(path("once.kaf")).ok());
  // The test file was written in the program's own layout.
  EXPECT_EQ(readFile(path("once.kaf")), readFile(testDataPath("full.kaf")));

  CrossSection second;
  ASSERT_TRUE(second.load(path("once.kaf")).ok());
  ASSERT_TRUE(second.save(path("twice.kaf")).ok());
  EXPECT_TRUE(sameFileContents(first, second));
  EXPECT_EQ(readFile(path("once.kaf")), readFile(path("twice.kaf")));
}

TEST_F(CrossSectionFileTest, Version153IsReadAndWrittenAs154) {
  CrossSection old;
  ASSERT_TRUE(old.load(testDataPath("v153.kaf")).ok());
  EXPECT_EQ(old.formatVersion, 153);
  EXPECT_EQ(old.nsf, 0);
  EXPECT_EQ(old.ndb, 2);
  EXPECT_EQ(old.state.nzd, 3);
  ASSERT_TRUE(old.save(path("new.kaf")).ok());
  const std::string written = readFile(path("new.kaf"));
  EXPECT_EQ(written.substr(0, 42), "**** PLX-Datei, Formatversion = 1.54 ****\n");
  EXPECT_NE(written.find("nps ndb nsf FG nz"), std::string::npos);
  EXPECT_NE(written.find("\n1 5 6 2 4 0 N cm 1 2 1 1 2 0 u 3 1 2 3 \n"), std::string::npos);
  EXPECT_NE(written.find("\n*** Keine Schubfedern ***\n*** Lagerelemente ***\n"),
            std::string::npos);
}

TEST_F(CrossSectionFileTest, ReadingIsForgivingBetweenItems) {
  CrossSection reference;
  ASSERT_TRUE(reference.load(testDataPath("full.kaf")).ok());
  std::string text = readFile(testDataPath("full.kaf"));
  auto replace = [&text](const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  };
  // Wrapped lists, junk between blocks, a decoy label with a trailing blank,
  // and the material block moved to the end of the file.
  replace("20 75 200 75 20 \n", "20\n75 200\n\n75 20\n");
  replace("*** Anfangs- Endknoten ***\n",
          "junk that nobody reads\n*** Anfangs- Endknoten *** \n9 9 9 9 9\n"
          "*** Anfangs- Endknoten ***\n");
  replace("*** E-Modul  G-MODUL MUE ***\n20500 8000 0.28 \n", "");
  text += "more junk\n*** E-Modul  G-MODUL MUE ***\n20500 8000 0.28 \n";
  CrossSection moved;
  ASSERT_TRUE(moved.load(write("moved.kaf", text)).ok());
  EXPECT_TRUE(sameFileContents(reference, moved));
}

TEST_F(CrossSectionFileTest, TitleThatReadsLikeALabelRoundTrips) {
  CrossSection section;
  ASSERT_TRUE(section.load(testDataPath("full.kaf")).ok());
  section.title = "*** Lagerung der Randknoten ***";
  ASSERT_TRUE(section.save(path("title.kaf")).ok());
  CrossSection again;
  ASSERT_TRUE(again.load(path("title.kaf")).ok());
  EXPECT_TRUE(sameFileContents(section, again));
}

TEST_F(CrossSectionFileTest, HeaderDecidesWhetherAnythingIsRead) {
  const std::string body = readFile(testDataPath("full.kaf")).substr(42);
  EXPECT_EQ(loadFailure("**** Some other words here    = 1.54 ****\n" + body), "");
  EXPECT_EQ(loadFailure("*** PLX-Datei, Formatversion = 1.54 ****\n" + body),
            "the first line is no KAF header (it does not begin with \"****\")");
  EXPECT_EQ(loadFailure(""), "the first line is no KAF header (it does not begin with \"****\")");
  EXPECT_EQ(loadFailure("**** PLX-Datei\n" + body),
            "the header line is too short to hold a format version");
  EXPECT_EQ(loadFailure("**** PLX-Datei, Formatversion = 1.60 ****\n" + body),
            "format version \"1.60\" is not supported (1.53 and 1.54 are read)");
  EXPECT_EQ(loadFailure("**** PLX-Datei, Formatversion = 9e30 ****\n" + body),
            "format version \"9e30\" is not supported (1.53 and 1.54 are read)");

  // A rejected header leaves the section as it was.
  CrossSection section;
  section.Kraft = "MN";
  EXPECT_FALSE(section.load(write("bad.kaf", "***\n" + body)).ok());
  EXPECT_EQ(section.Kraft, "MN");
  EXPECT_EQ(section.ns, 0);
}

TEST_F(CrossSectionFileTest, DamagedContentsNameTheirFault) {
  const std::string good = readFile(testDataPath("full.kaf"));
  auto damaged = [&good](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  EXPECT_EQ(loadFailure(damaged("*** Zustandsattribute ***", "*** Zustand ***")),
            "the label \"*** Zustandsattribute ***\" is missing");
  EXPECT_EQ(loadFailure(damaged("2 2 2 2 2 \n", "2 2 zwei 2 2 \n")),
            "no number where one is expected after \"*** Scheiben b_r t_r alpha_r K_r D_r ***\"");
  EXPECT_EQ(loadFailure(damaged("1 5 6 2 4 0 N cm", "1 -5 6 2 4 0 N cm")),
            "the count ns is negative (-5)");
  EXPECT_EQ(loadFailure(damaged("1 5 6 2 4 0 N cm", "1 5 2000000000 2 4 0 N cm")),
            "the count nk = 2000000000 is larger than the file can hold");
  EXPECT_EQ(loadFailure(damaged("u 3 1 2 3 \n", "u 2000000000 1 2 3 \n")),
            "the count nz = 2000000000 is larger than the file can hold");
  EXPECT_EQ(loadFailure(damaged("\n2\nLipped", "\n-1\nLipped")),
            "the count of the explanation lines is negative (-1)");
  EXPECT_EQ(loadFailure(good.substr(0, good.find("*** Zustandsattribute ***") + 26) + "4 5"),
            "the file ends where an integer is expected after \"*** Zustandsattribute ***\"");
  EXPECT_EQ(
      loadFailure(damaged("N cm 1 2", "N")),
      "no integer where one is expected after "
      "\"*** Typ ns nk nk1 nk2 nk3 Kraft Laenge nla nlas nlak nps ndb nsf FG nz nzl nzb nzd ***\"");
}

TEST_F(CrossSectionFileTest, DirectoriesAndMissingFilesAreNotRead) {
  CrossSection section;
  EXPECT_EQ(section.load(path("")).reason(), "it is not a regular file");
  EXPECT_EQ(section.load(path("none.kaf")).reason(), "it does not exist");
}

TEST_F(CrossSectionFileTest, LongSectionsRoundTrip) {
  CrossSection section;
  for (int k = 0; k < 20000; ++k) {
    section.b_r.push_back(1.0 + k * 1e-4);
    section.alpha_r.push_back(k % 2 == 0 ? 0.123456789 : -90.5);
  }
  rebuildFromPlates(section);
  ASSERT_TRUE(setThickness(section, 1.25).ok());
  ASSERT_TRUE(section.save(path("long.kaf")).ok());
  CrossSection again;
  ASSERT_TRUE(again.load(path("long.kaf")).ok());
  ASSERT_EQ(again.ns, 20000);
  ASSERT_TRUE(again.save(path("long2.kaf")).ok());
  EXPECT_EQ(readFile(path("long.kaf")), readFile(path("long2.kaf")));
  EXPECT_EQ(again.endNode[19999], 20001);
  EXPECT_EQ(again.alpha_r[19999], -90.5);
}

TEST_F(CrossSectionFileTest, FailedSaveLeavesNoFileAndKeepsTheOldOne) {
  CrossSection section;
  write("old.kaf", "old contents");
  write("plain-file", "x");
  const Result intoFile = section.save(path("plain-file/new.kaf"));
  EXPECT_FALSE(intoFile.ok());
  EXPECT_EQ(intoFile.reason().rfind("cannot create the file: ", 0), 0u) << intoFile.reason();

  section.E = 1e308 * 10;
  const Result nonFinite = section.save(path("old.kaf"));
  EXPECT_EQ(nonFinite.reason(), "E is not a finite number");
  EXPECT_EQ(readFile(path("old.kaf")), "old contents");
  section.E = 21000;
  ASSERT_TRUE(section.save(path("old.kaf")).ok());
  EXPECT_EQ(readFile(path("old.kaf")), kFreshSectionFile);

  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(path(""))) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 2u);  // old.kaf and plain-file: no temporary left behind
}

}  // namespace
