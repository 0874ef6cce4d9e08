#include "folder_chooser/folder_text.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(FolderText, EndsInExactlyOneSeparator) {
    const std::tuple<const char*, char, const char*> cases[] = {{"E:\\data", '\\', "E:\\data\\"},
                                                                {"E:\\", '\\', "E:\\"},
                                                                {"/home/u", '/', "/home/u/"},
                                                                {"/", '/', "/"}};
    for (const auto& [folder, separator, prefix] : cases) {
        EXPECT_EQ(folder_text::prefixOf(folder, separator), prefix) << folder;
    }
}
