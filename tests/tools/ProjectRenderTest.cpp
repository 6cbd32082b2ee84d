// tessary-render and projects: --save-project writes what --project reads
// back into the very card, wherever the project and its photos went.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "imagefiles/LayoutTestFiles.h"
#include "tools/ToolRunner.h"
#include "tools/TwoSlotLayout.h"

namespace {

namespace fs = std::filesystem;
using layouttest::Bytes;

Bytes Photo(uint32_t width, uint32_t height, uint32_t seed) {
  Bytes pixels(size_t(width) * height * 3);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t((i * 37 + seed * 101) % 251);
  return layouttest::EncodePng(width, height, 3, pixels);
}

class ProjectRenderTest : public tooltest::ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    fs::create_directories(dir_ / "work" / "pics");
    WriteBytes("work/pics/a.png", Photo(120, 80, 1));
    WriteBytes("work/pics/b.png", Photo(60, 90, 2));
    WriteBytes("work/pics/c.png", Photo(200, 100, 3));
    WriteBytes("work/two.jli", tooltest::TwoSlotLayoutFile());
  }

  // A card on a built-in design with three photos, framed, and its project.
  std::vector<std::string> Card(const std::string& in) const {
    return {"--template", "0", "--photo", "0=" + Path(in + "/pics/a.png"), "--photo",
            "1=" + Path(in + "/pics/b.png"), "--photo", "3=" + Path(in + "/pics/c.png"),
            "--pan", "0=0.3,0.55", "--zoom", "1=2.5", "--zoom", "3=1.25"};
  }

  tooltest::ToolResult Run(std::vector<std::string> args, std::vector<std::string> more) const {
    args.insert(args.end(), more.begin(), more.end());
    return Render(args);
  }
};

}  // namespace

TEST_F(ProjectRenderTest, AProjectRendersTheCardItWasSavedFromWhereverItMoved) {
  tooltest::ToolResult r = Run(Card("work"), {"-o", Path("direct.jpg"), "--save-project",
                                              Path("work/card.tessary")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const Bytes direct = ReadBytes("direct.jpg");
  r = Render({"--project", Path("work/card.tessary"), "-o", Path("again.jpg")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadBytes("again.jpg"), direct);

  // The project and its photos' folder moved together elsewhere.
  fs::rename(dir_ / "work", dir_ / "moved");
  r = Render({"--project", Path("moved/card.tessary"), "-o", Path("moved.jpg")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadBytes("moved.jpg"), direct);

  // A photo gone: the render fails naming it, and writes nothing.
  fs::remove(dir_ / "moved" / "pics" / "b.png");
  r = Render({"--project", Path("moved/card.tessary"), "-o", Path("missing.jpg")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("b.png: was not found"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir_ / "missing.jpg"));
  // Given another on the command line, it renders.
  r = Render({"--project", Path("moved/card.tessary"), "--photo", "1=" + Path("moved/pics/a.png"),
              "-o", Path("replaced.jpg")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST_F(ProjectRenderTest, AProjectWithItsPhotosAndLayoutNeedsNothingElse) {
  tooltest::ToolResult r =
      Render({"--layout", Path("work/two.jli"), "--photo", "0=" + Path("work/pics/c.png"),
              "--photo", "1=" + Path("work/pics/b.png"), "--pan", "1=0.5,0.2", "-o",
              Path("direct.png"), "--save-project", Path("carried.tessary"), "--with-photos"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  fs::remove_all(dir_ / "work");
  r = Render({"--project", Path("carried.tessary"), "-o", Path("again.png")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadBytes("again.png"), ReadBytes("direct.png"));
  // Saved again from the project, still with its photos, still the same.
  r = Render({"--project", Path("carried.tessary"), "--save-project", Path("copy.tessary"),
              "--with-photos"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = Render({"--project", Path("copy.tessary"), "-o", Path("copy.png")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadBytes("copy.png"), ReadBytes("direct.png"));
}

TEST_F(ProjectRenderTest, BadProjectsAndLinesAreToldApart) {
  WriteBytes("notes.tessary", Bytes{'n', 'o', 't', 'e', 's'});
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char* words;
  };
  const Case cases[] = {
      {{"--project", Path("notes.tessary"), "-o", Path("x.jpg")}, 1,
       "notes.tessary: is not a project file"},
      {{"--project", Path("none.tessary"), "-o", Path("x.jpg")}, 1, "none.tessary: cannot be read"},
      {{"--project", Path("notes.tessary"), "--template", "1", "-o", Path("x.jpg")}, 2,
       "--project brings its own design"},
      {{"--template", "1", "--with-photos", "-o", Path("x.jpg")}, 2,
       "--with-photos goes with --save-project"},
      {{"--project"}, 2, "--project needs a value"},
      {{"--template", "1", "--save-project", Path("nowhere/x.tessary")}, 1,
       "x.tessary: cannot be written"},
  };
  for (const Case& c : cases) {
    const tooltest::ToolResult r = Render(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.words;
    EXPECT_NE(r.err.find(c.words), std::string::npos) << r.err;
  }
  // A project alone is a complete command line.
  EXPECT_EQ(Render({"--template", "2", "--save-project", Path("plain.tessary")}).exitCode, 0);
  EXPECT_TRUE(fs::exists(dir_ / "plain.tessary"));
}
