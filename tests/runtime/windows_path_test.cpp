// The form every file call of the Windows program gives a path: short paths as they are,
// long ones absolute with the \\?\ prefix, which lifts the 260-character limit.
#include "runtime/windows_path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Row {
    const char* name;
    std::string path;
    std::wstring expected;
};

class ApiPath : public testing::TestWithParam<Row> {};

TEST_P(ApiPath, IsTheLongFormOnlyWhereTheClassicLimitWouldCutIt) {
    EXPECT_EQ(runtime::apiPath(GetParam().path), GetParam().expected);
}

const std::string deep = std::string(150, 'a') + "\\" + std::string(150, 'b');
const std::wstring wideDeep = std::wstring(150, L'a') + L"\\" + std::wstring(150, L'b');

INSTANTIATE_TEST_SUITE_P(
    Table, ApiPath,
    testing::Values(Row{"Short", "C:\\data\\a.txt", L"C:\\data\\a.txt"},
                    Row{"LongOnADrive", "C:\\" + deep, L"\\\\?\\C:\\" + wideDeep},
                    Row{"LongWithForwardSlashes",
                        "C:/" + std::string(150, 'a') + "/" + std::string(150, 'b'),
                        L"\\\\?\\C:\\" + wideDeep},
                    Row{"LongWithADotDot", "C:\\x\\..\\" + deep, L"\\\\?\\C:\\" + wideDeep},
                    Row{"LongOnAShare", "\\\\server\\share\\" + deep,
                        L"\\\\?\\UNC\\server\\share\\" + wideDeep},
                    Row{"AlreadyLong", "\\\\?\\C:\\" + deep, L"\\\\?\\C:\\" + wideDeep},
                    Row{"LongAndChinese", "C:\\" + deep + "\\说明.txt",
                        L"\\\\?\\C:\\" + wideDeep + L"\\说明.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
