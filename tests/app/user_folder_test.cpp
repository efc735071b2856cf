#include "app/user_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace palomind {
namespace {

namespace fs = std::filesystem;

// A home folder of its own for each test; the current folder is put back.
class UserFolderTest : public ::testing::Test {
  protected:
    UserFolderTest()
        : previous_(fs::current_path()),
          home_(fs::temp_directory_path() / ("palomind-home-" + std::to_string(::getpid()))) {
        fs::remove_all(home_);
        fs::create_directories(home_);
    }
    ~UserFolderTest() override {
        fs::current_path(previous_);
        fs::remove_all(home_);
    }

    fs::path previous_;
    fs::path home_;
};

TEST_F(UserFolderTest, IsMadeOnFirstUseAndEnteredEachTime) {
    ASSERT_EQ(EnterUserFolder(home_), "");
    EXPECT_EQ(fs::current_path(), fs::canonical(home_ / "Palomind"));
    std::ofstream("Palomind.ini") << "kept\n";

    fs::current_path(previous_);
    ASSERT_EQ(EnterUserFolder(home_), "");
    EXPECT_TRUE(fs::exists("Palomind.ini"));
}

TEST_F(UserFolderTest, AFileInTheWayOrNoHomeLeavesTheCurrentFolderAlone) {
    std::ofstream(home_ / "Palomind") << "not a folder\n";
    const std::string problem = EnterUserFolder(home_);
    EXPECT_NE(problem.find((home_ / "Palomind").string()), std::string::npos) << problem;
    EXPECT_EQ(fs::current_path(), previous_);

    EXPECT_NE(EnterUserFolder(""), "");
    EXPECT_NE(EnterUserFolder("relative/home"), "");
    EXPECT_FALSE(fs::exists(previous_ / "relative"));
    EXPECT_EQ(fs::current_path(), previous_);
}

}  // namespace
}  // namespace palomind
