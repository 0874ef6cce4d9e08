#include "engine/checksum_file.h"

#include <gtest/gtest.h>

namespace {

// Lines as sha256sum writes and reads them, a name holding "\" included.
TEST(ChecksumFile, LinesAreSha256sumsAndReadBack) {
    const std::string hex(64, 'a');
    const std::pair<std::string, std::string> cases[] = {
        {"plain.bin", hex + "  plain.bin\n"},
        {"报告 1.doc", hex + "  报告 1.doc\n"},
        {"a\\b.bin", "\\" + hex + "  a\\\\b.bin\n"}};
    for (const auto& [name, line] : cases) {
        EXPECT_EQ(engine::checksumLine({hex, name}), line) << name;
        const auto sums = engine::readChecksums(line + engine::checksumLine({hex, "whole"}));
        ASSERT_TRUE(sums) << name;
        ASSERT_EQ(sums->pieces.size(), 1u);
        EXPECT_EQ(sums->pieces[0].name, name);
    }
}

} // namespace
