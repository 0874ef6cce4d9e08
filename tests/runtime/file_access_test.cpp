#include "runtime/error.h"
#include "runtime/file.h"
#include "runtime/folder_lock.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <limits>

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
    EXPECT_EQ(errorOpening(folder.file("sub"), File::openForReading), ErrorNumber::IsAFolder);
    EXPECT_EQ(errorOpening(folder.file("sub"), createOrTruncate), ErrorNumber::IsAFolder);
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
        {ERROR_FILE_TOO_LARGE, ErrorNumber::FileTooLarge},
        {ERROR_SHARING_VIOLATION, ErrorNumber::FileInUse},
        {ERROR_FILENAME_EXCED_RANGE, ErrorNumber::NameTooLong},
        {ERROR_CANT_RESOLVE_FILENAME, ErrorNumber::TooManyLinks},
        {ERROR_NOT_READY, ErrorNumber::DiskNotReady},
        {ERROR_CRC, ErrorNumber::DeviceIo},
        {ERROR_FILE_EXISTS, ErrorNumber::FileAlreadyExists},
        {ERROR_INVALID_FUNCTION, ErrorNumber::OtherSystemError}};
#else
    const std::pair<int, ErrorNumber> cases[] = {
        {ENOSPC, ErrorNumber::DiskFull},          {EFBIG, ErrorNumber::FileTooLarge},
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
TEST(FileErrors, AFileAnotherProgramHoldsExclusivelyIsSaidToBeInUse) {
    TempFolder folder;
    const std::string path = folder.file("held.txt");
    testing_support::writeFile(path, "x");
    const HANDLE held = CreateFileW(std::filesystem::u8path(path).wstring().c_str(), GENERIC_READ,
                                    0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(errorOpening(path, File::openForReading), ErrorNumber::FileInUse);
    EXPECT_EQ(errorOpening(path, createOrTruncate), ErrorNumber::FileInUse);
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

struct TemporaryNameCase {
    const char* name;
    const char* fileName;
    bool temporary;
};

class TemporaryName : public ::testing::TestWithParam<TemporaryNameCase> {};

// Only the exact shape counts: anything else in a user's folder is never removed.
TEST_P(TemporaryName, IsRecognisedOnlyInItsExactShape) {
    EXPECT_EQ(runtime::isTemporaryName(GetParam().fileName), GetParam().temporary);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TemporaryName,
    ::testing::Values(TemporaryNameCase{"Exact", ".corvane-0123456789abcdef.tmp", true},
                      TemporaryNameCase{"UpperCaseDigits", ".corvane-0123456789ABCDEF.tmp", false},
                      TemporaryNameCase{"FifteenDigits", ".corvane-0123456789abcde.tmp", false},
                      TemporaryNameCase{"SeventeenDigits", ".corvane-0123456789abcdef0.tmp", false},
                      TemporaryNameCase{"NotHexadecimal", ".corvane-0123456789abcdeg.tmp", false},
                      TemporaryNameCase{"OtherEnding", ".corvane-0123456789abcdef.txt", false},
                      TemporaryNameCase{"NoDot", "corvane-0123456789abcdef.tmp", false},
                      TemporaryNameCase{"OldPartName", "report.doc.part", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TemporaryFile, IsNewEveryTimeAndOnlyAnAbandonedOneIsRemoved) {
    TempFolder folder;
    const std::string prefix = folder.prefix();
    std::string heldPath;
    std::string abandonedPath;
    File held = File::createTemporary(prefix, folder.file("a.bin"), heldPath);
    File::createTemporary(prefix, folder.file("b.bin"), abandonedPath).close();
    EXPECT_NE(heldPath, abandonedPath);
    EXPECT_TRUE(runtime::isTemporaryName(
        testing_support::utf8(std::filesystem::u8path(heldPath).filename())));
    const std::string lookalike = ".corvane-0123456789ABCDEF.tmp";
    testing_support::writeFile(folder.file(lookalike), "user's");
    testing_support::writeFile(folder.file("a.bin.part"), "user's");

    EXPECT_EQ(runtime::removeStaleTemporaries(prefix), 1);
    EXPECT_TRUE(runtime::pathExists(heldPath));
    EXPECT_FALSE(runtime::pathExists(abandonedPath));
    EXPECT_EQ(testing_support::readFile(folder.file(lookalike)), "user's");
    EXPECT_EQ(testing_support::readFile(folder.file("a.bin.part")), "user's");

    // Errors name the file it stands in for; placing it replaces that file whole.
    testing_support::writeFile(folder.file("a.bin"), "old");
    EXPECT_EQ(held.path(), folder.file("a.bin"));
    held.writeAll("new", 3);
    held.flush();
    held.placeAs(heldPath, folder.file("a.bin"));
    runtime::flushFolder(prefix);
    EXPECT_EQ(testing_support::readFile(folder.file("a.bin")), "new");
    EXPECT_FALSE(runtime::pathExists(heldPath));
}

// The free-room rule from made-up file-system figures: a wrong unit (blocks taken for
// bytes) or a lost inode count shows here, not only in the 5 GB test.
TEST(VolumeRoom, IsWhatTheFileSystemsFiguresStandFor) {
    constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();
    struct Case {
        const char* what;
        runtime::FileSystemFigures figures;
        std::int64_t available, largestFile, blockSize, freeFiles;
    };
    for (const Case& c : {
             Case{"ext4", {1000, 4096, 500, 20, false}, 4'096'000, most, 4096, 20},
             Case{"no inode count (btrfs)", {10, 16384, 0, 0, false}, 163'840, most, 16384, -1},
             Case{"FAT", {8, 32768, 0, 0, true}, 262'144, runtime::fatLargestFile, 32768, -1},
             Case{"more than a 64-bit count", {~0ULL, 4096, 1, 1, false}, most, most, 4096, 1},
             Case{"no block size", {5, 0, 0, 0, false}, 0, most, 1, -1},
         }) {
        const runtime::VolumeRoom room = runtime::roomOf(c.figures);
        EXPECT_EQ(room.available, c.available) << c.what;
        EXPECT_EQ(room.largestFile, c.largestFile) << c.what;
        EXPECT_EQ(room.blockSize, c.blockSize) << c.what;
        EXPECT_EQ(room.freeFiles, c.freeFiles) << c.what;
    }
}

// One run per folder, and the folder stays the one the run opened: on Windows it cannot be
// moved while held; on POSIX it can, and the run's files go on landing in it.
TEST(FolderLock, HoldsTheFolderForOneRunAtATime) {
    TempFolder folder;
    std::filesystem::create_directory(folder.path() / "held");
    const std::string held = folder.file("held") + runtime::nativeSeparator();
    {
        const auto lock = runtime::FolderLock::tryHold(held);
        ASSERT_TRUE(lock.has_value());
        EXPECT_FALSE(runtime::FolderLock::tryHold(held).has_value());
        EXPECT_TRUE(lock->stillThere());
        std::error_code moved;
        std::filesystem::rename(folder.path() / "held", folder.path() / "moved", moved);
#ifdef _WIN32
        EXPECT_TRUE(moved) << "moved while held";
#else
        ASSERT_FALSE(moved);
        EXPECT_FALSE(lock->stillThere());
        runtime::File::createNew(held + "piece.bin").close();
        EXPECT_TRUE(std::filesystem::exists(folder.path() / "moved" / "piece.bin"));
        std::filesystem::rename(folder.path() / "moved", folder.path() / "held");
#endif
    }
    EXPECT_TRUE(runtime::FolderLock::tryHold(held).has_value());
}

} // namespace
