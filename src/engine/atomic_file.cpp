#include "engine/atomic_file.h"

#include "runtime/path.h"

namespace engine {

AtomicFile::AtomicFile(FileOpener& files, std::string target, std::uint32_t permissions)
    : files_(files), target_(std::move(target)),
      folder_(runtime::splitPath(target_, runtime::nativePathStyle()).folder),
      file_(files_.createTemporary(folder_, target_, temporary_, permissions)) {}

AtomicFile::~AtomicFile() {
    if (!committed_) {
        file_.reset();
        runtime::removeFile(temporary_);
    }
}

void AtomicFile::commit() {
    file_->flush();
    file_->placeAs(temporary_, target_);
    committed_ = true;
    files_.flushFolder(folder_);
}

void writeAtomically(FileOpener& files, const std::string& target, std::string_view bytes,
                     std::uint32_t permissions) {
    AtomicFile file(files, target, permissions);
    file.write(bytes);
    file.commit();
}

} // namespace engine
