#include "runtime/byte_copier.h"
#include "runtime/error.h"
#include "runtime/file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

using runtime::Error;
using runtime::ErrorNumber;
using runtime::File;
using testing_support::TempFolder;

namespace {

File createOrTruncate(const std::string& path) {
    return File::createOrTruncate(path);
}

ErrorNumber errorOpening(const std::string& path, File (*open)(const std::string&)) {
    try {
        open(path);
    } catch (const Error& error) {
        EXPECT_NE(error.description().find(path), std::string::npos) << error.description();
        return error.number();
    }
    ADD_FAILURE() << "no error for " << path;
    return ErrorNumber::DeviceIo;
}

TEST(FileErrors, MapOntoTheRuntimeNumbers) {
    TempFolder folder;
    std::filesystem::create_directory(folder.path() / "sub");
    testing_support::writeFile(folder.file("plain"), "x");

    EXPECT_EQ(errorOpening(folder.file("missing.txt"), File::openForReading),
              ErrorNumber::FileNotFound);
    EXPECT_EQ(errorOpening(folder.file("nofolder") + runtime::nativeSeparator() + "a.txt",
                           File::openForReading),
              ErrorNumber::PathNotFound);
    EXPECT_EQ(errorOpening(folder.file("nofolder") + runtime::nativeSeparator() + "a.txt",
                           createOrTruncate),
              ErrorNumber::PathNotFound);
    EXPECT_EQ(errorOpening(folder.file("sub"), File::openForReading), ErrorNumber::PathFileAccess);
    EXPECT_EQ(errorOpening(folder.file("sub"), createOrTruncate), ErrorNumber::PathFileAccess);
    // A file where a folder should be: POSIX tells that apart, Windows does not.
    EXPECT_EQ(
        errorOpening(folder.file("plain") + runtime::nativeSeparator() + "a.txt", createOrTruncate),
        runtime::nativePathStyle() == runtime::PathStyle::Posix ? ErrorNumber::NotAFolder
                                                                : ErrorNumber::PathNotFound);
    EXPECT_THROW(File::createNew(folder.file("plain")), Error);
}

// Codes a test cannot provoke on a healthy machine map as the ones it can; only a real
// input or output error reads as one, and a code without a mapping says its number.
TEST(FileErrors, MapEachSystemCodeOntoAnErrorThatSaysWhatHappened) {
#ifdef _WIN32
    const std::pair<int, ErrorNumber> cases[] = {
        {ERROR_DISK_FULL, ErrorNumber::DiskFull},
        {ERROR_HANDLE_DISK_FULL, ErrorNumber::DiskFull},
        {ERROR_FILENAME_EXCED_RANGE, ErrorNumber::NameTooLong},
        {ERROR_CANT_RESOLVE_FILENAME, ErrorNumber::TooManyLinks},
        {ERROR_NOT_READY, ErrorNumber::DiskNotReady},
        {ERROR_CRC, ErrorNumber::DeviceIo},
        {ERROR_FILE_EXISTS, ErrorNumber::FileAlreadyExists},
        {ERROR_INVALID_FUNCTION, ErrorNumber::OtherSystemError}};
#else
    const std::pair<int, ErrorNumber> cases[] = {
        {ENOSPC, ErrorNumber::DiskFull},          {EFBIG, ErrorNumber::DiskFull},
        {ENAMETOOLONG, ErrorNumber::NameTooLong}, {ELOOP, ErrorNumber::TooManyLinks},
        {ENOTDIR, ErrorNumber::NotAFolder},       {EIO, ErrorNumber::DeviceIo},
        {EEXIST, ErrorNumber::FileAlreadyExists}, {EMFILE, ErrorNumber::TooManyFiles},
        {EINVAL, ErrorNumber::OtherSystemError}};
#endif
    for (const auto& [code, number] : cases) {
        const Error error = runtime::systemError(code, "x");
        EXPECT_EQ(error.number(), number) << code;
        const bool saysIo = error.description().find("I/O") != std::string::npos;
        EXPECT_EQ(saysIo, number == ErrorNumber::DeviceIo) << error.description();
        if (number == ErrorNumber::OtherSystemError) {
            EXPECT_NE(error.description().find(std::to_string(code)), std::string::npos);
        }
    }
}

#ifdef _WIN32
// Only Windows lets a program lock others out of a file while it has it open.
TEST(FileErrors, AFileAnotherProgramHoldsExclusivelyIsPermissionDenied) {
    TempFolder folder;
    const std::string path = folder.file("held.txt");
    testing_support::writeFile(path, "x");
    const HANDLE held = CreateFileW(std::filesystem::u8path(path).wstring().c_str(), GENERIC_READ,
                                    0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(errorOpening(path, File::openForReading), ErrorNumber::PermissionDenied);
    EXPECT_EQ(errorOpening(path, createOrTruncate), ErrorNumber::PermissionDenied);
    CloseHandle(held);
}
#endif

TEST(FileLength, IsSixtyFourBit) {
    TempFolder folder;
    const std::string path = folder.file("big.bin");
    testing_support::writeFile(path, "");
    // Sparse, so it costs no disk space.
    std::filesystem::resize_file(std::filesystem::path(path), 5'000'000'000ULL);
    EXPECT_EQ(runtime::fileLength(path), 5'000'000'000LL);
    EXPECT_EQ(File::openForReading(path).length(), 5'000'000'000LL);
}

TEST(FileLength, OfAMissingFileOrAFolderIsAnError) {
    TempFolder folder;
    EXPECT_THROW(runtime::fileLength(folder.file("nothing")), Error);
    EXPECT_THROW(runtime::fileLength(testing_support::utf8(folder.path())), Error);
}

TEST(CreateOrTruncate, LeavesNoStaleBytesOfALongerFile) {
    TempFolder folder;
    const std::string path = folder.file("piece");
    testing_support::writeFile(path, std::string(1000, 'x'));
    File file = File::createOrTruncate(path);
    file.writeAll("abc", 3);
    file.close();
    EXPECT_EQ(testing_support::readFile(path), "abc");
}

// What opening a piece ahead of its turn relies on: nothing of an existing file is
// touched until it is cut, and room set aside never shows up as bytes.
TEST(OpenAhead, LeavesAnExistingFileAloneUntilItIsCut) {
    TempFolder folder;
    const std::string path = folder.file("piece");
    testing_support::writeFile(path, std::string(1000, 'x'));
    EXPECT_FALSE(File::createIfAbsent(path).has_value());
    File::openForWriting(path).reserve(1 << 20);
    EXPECT_EQ(testing_support::readFile(path), std::string(1000, 'x'));
    File file = File::openForWriting(path);
    file.truncate(10);
    file.writeAll("ab", 2);
    file.close();
    EXPECT_EQ(testing_support::readFile(path), std::string(10, 'x') + "ab");

    File fresh = *File::createIfAbsent(folder.file("new"));
    fresh.reserve(4096);
    fresh.close();
    EXPECT_EQ(runtime::fileLength(folder.file("new")), 0);
}

class ByteCopy : public ::testing::TestWithParam<bool> {};

TEST_P(ByteCopy, CopiesExactRangesAcrossChunksAndReportsEachChunk) {
    TempFolder folder;
    const std::size_t total = runtime::ByteCopier::chunkSize * 2 + 12345;
    const std::string content = testing_support::randomBytes(total, 7);
    testing_support::writeFile(folder.file("source"), content);

    File source = File::openForReading(folder.file("source"));
    runtime::ByteCopier copier(GetParam());
    std::vector<std::uint64_t> reported;
    const auto report = [&](std::uint64_t copied) { reported.push_back(copied); };
    const std::uint64_t chunk = runtime::ByteCopier::chunkSize;
    const std::uint64_t firstPart = chunk + 1;
    {
        File first = File::createOrTruncate(folder.file("first"));
        copier.copy(source, first, firstPart, report);
        first.close();
    }
    {
        File second = File::createOrTruncate(folder.file("second"));
        copier.copy(source, second, total - firstPart, report);
        second.close();
    }
    // Each range reports the bytes it has copied so far, chunk by chunk.
    const std::vector<std::uint64_t> expected = {chunk, firstPart, chunk, total - firstPart};
    EXPECT_EQ(reported, expected);
    EXPECT_EQ(testing_support::readFile(folder.file("first")), content.substr(0, firstPart));
    EXPECT_EQ(testing_support::readFile(folder.file("second")), content.substr(firstPart));
    if (!GetParam()) {
        EXPECT_FALSE(copier.usesKernelCopy());
    }
}

TEST_P(ByteCopy, ASourceThatEndsEarlyIsInputPastEnd) {
    TempFolder folder;
    testing_support::writeFile(folder.file("short"), "12345");
    File source = File::openForReading(folder.file("short"));
    File target = File::createOrTruncate(folder.file("target"));
    runtime::ByteCopier copier(GetParam());
    try {
        copier.copy(source, target, 6);
        FAIL() << "copied past the end";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), ErrorNumber::InputPastEnd);
    }
}

INSTANTIATE_TEST_SUITE_P(KernelAndBuffer, ByteCopy, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Kernel" : "Buffered"; });

} // namespace
