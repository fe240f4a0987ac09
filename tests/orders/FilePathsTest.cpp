#include "orders/FilePaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillon;

TEST(FilePaths, PlainNames) {
    for (const char* ok : {"a.jpg", "IMG 0001.JPG", "..a", "a..b", ".hidden"})
        EXPECT_TRUE(isPlainFileName(ok)) << ok;
    for (const char* bad : {"", ".", "..", "a/b", "../a", "/abs", "a\\b"})
        EXPECT_FALSE(isPlainFileName(bad)) << bad;
    EXPECT_FALSE(isPlainFileName(std::string("a\0b", 3)));
}

TEST(FilePaths, FoldersMustBeMadeInsideTheRoot) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("root");
    QDir(dir.path()).mkdir("outside");
    std::string root = dir.filePath("root").toStdString();
    EXPECT_TRUE(folderLiesInside(root, root + "/A0001"));
    EXPECT_TRUE(folderLiesInside(root + "/", root + "//A0001"));
    EXPECT_FALSE(folderLiesInside(root, root));
    EXPECT_FALSE(folderLiesInside(root, root + "/../outside/A0001"));
    EXPECT_FALSE(folderLiesInside(root, root + "x/A0001")); // a sibling with a longer name
    EXPECT_FALSE(folderLiesInside(root, "A0001"));          // relative
    EXPECT_FALSE(folderLiesInside("", root + "/A0001"));
    // A link inside the root that points out of it does not count as inside.
    ASSERT_TRUE(QFile::link(dir.filePath("outside"), dir.filePath("root/link")));
    EXPECT_FALSE(folderLiesInside(root, root + "/link/A0001"));
}
