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
    case Mode::CreateOrTruncate:
        return owned(File::createOrTruncate(path, permissions));
    }
    return nullptr;
}

FileOpener& systemFiles() {
    static FileOpener opener;
    return opener;
}

} // namespace engine
