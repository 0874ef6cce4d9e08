#include "engine/file_opener.h"

namespace engine {

namespace {
std::unique_ptr<runtime::File> owned(runtime::File file) {
    return std::make_unique<runtime::File>(std::move(file));
}
} // namespace

std::unique_ptr<runtime::File> FileOpener::open(const std::string& path, Mode mode,
                                                std::uint32_t permissions) {
    using runtime::File;
    switch (mode) {
    case Mode::Read:
        return owned(File::openForReading(path));
    case Mode::CreateNew:
        return owned(File::createNew(path, permissions));
    case Mode::CreateIfAbsent: {
        std::optional<File> created = File::createIfAbsent(path, permissions);
        return created ? owned(std::move(*created)) : nullptr;
    }
    case Mode::WriteExisting:
        return owned(File::openForWriting(path, permissions));
    }
    return nullptr;
}

std::unique_ptr<runtime::File> FileOpener::createTemporary(const std::string& folderPrefix,
                                                           const std::string& shownAs,
                                                           std::string& createdPath,
                                                           std::uint32_t permissions) {
    return owned(runtime::File::createTemporary(folderPrefix, shownAs, createdPath, permissions));
}

void FileOpener::flushFolder(const std::string& folderPrefix) {
    runtime::flushFolder(folderPrefix);
}

bool FileOpener::canFlushFileSystem() {
    return runtime::canFlushFileSystem();
}

void FileOpener::flushFileSystem(const std::string& folderPrefix) {
    runtime::flushFileSystem(folderPrefix);
}

runtime::VolumeRoom FileOpener::room(const std::string& folderPrefix) {
    return runtime::volumeRoom(folderPrefix);
}

std::string readWholeFile(FileOpener& files, const std::string& path) {
    const auto file = files.open(path, FileOpener::Mode::Read);
    std::string bytes(static_cast<std::size_t>(file->length()), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const std::size_t n = file->read(bytes.data() + got, bytes.size() - got);
        if (n == 0) {
            break;
        }
        got += n;
    }
    bytes.resize(got);
    file->close();
    return bytes;
}

FileOpener& systemFiles() {
    static FileOpener opener;
    return opener;
}

} // namespace engine
