#include <gtest/gtest.h>

#include <cstdlib>

#include "support/TempDir.h"
#include "util/HomeDirectory.h"

TEST(HomeDirectory, ComesFromTheEnvironmentAndIsCreated) {
    TempDir dir;
    const auto wanted = dir / "a" / "b";
    setenv("VORLAUNE_HOME", wanted.c_str(), 1);
    EXPECT_EQ(ResolveHomeDirectory(), wanted);
    EXPECT_TRUE(std::filesystem::is_directory(wanted));

    unsetenv("VORLAUNE_HOME");
    setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
    EXPECT_EQ(ResolveHomeDirectory(), dir / "vorlaune");
    unsetenv("XDG_DATA_HOME");
}

TEST(HomeDirectory, SeedingCopiesOnlyWhatIsMissing) {
    TempDir resources, home;
    std::filesystem::create_directory(resources / "home");
    resources.Write("home/VORLAUNE.INI", "shipped\n");
    resources.Write("home/PIANOROL.DLG", "template\n");
    home.Write("VORLAUNE.INI", "the user's own\n");
    EXPECT_EQ(SeedHomeDirectory(home.Path(), resources.Path()), 1);
    EXPECT_EQ(TempDir::Read(home / "VORLAUNE.INI"), "the user's own\n");
    EXPECT_EQ(TempDir::Read(home / "PIANOROL.DLG"), "template\n");
    EXPECT_EQ(SeedHomeDirectory(home.Path(), resources.Path()), 0);
}
