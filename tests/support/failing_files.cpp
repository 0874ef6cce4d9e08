#include "failing_files.h"

#include "runtime/path.h"

#include <algorithm>

namespace testing_support {

std::string bareName(const std::string& path) {
    return runtime::splitPath(path, runtime::nativePathStyle()).name;
}

namespace {

// A real file that logs what makes it durable and fails the way it is told to.
class TestFile : public runtime::File {
public:
    TestFile(runtime::File&& real, FailingFiles& files, std::string name, FailingFiles::Fault fault,
             std::uint64_t budget, runtime::ErrorNumber error)
        : File(std::move(real)), files_(files), name_(std::move(name)), fault_(fault),
          budget_(budget), error_(error) {}

    std::size_t read(void* buffer, std::size_t size) override {
        if (fault_ == FailingFiles::Fault::Flaky) {
            const std::size_t got = File::read(buffer, size);
            if (budget_ >= position_ && budget_ < position_ + got) {
                static_cast<unsigned char*>(buffer)[budget_ - position_] ^= 0xFF;
            }
            position_ += got;
            return got;
        }
        const bool cut = fault_ == FailingFiles::Fault::ShortRead;
        if (fault_ != FailingFiles::Fault::Read && !cut) {
            return File::read(buffer, size);
        }
        if (budget_ == 0) {
            if (cut) {
                return 0;
            }
            throw runtime::Error(error_, path());
        }
        const std::size_t got = File::read(buffer, std::min<std::uint64_t>(size, budget_));
        budget_ -= got;
        return got;
    }

    void writeAll(const void* data, std::size_t size) override {
        if (fault_ != FailingFiles::Fault::Write) {
            File::writeAll(data, size);
            return;
        }
        const auto allowed = static_cast<std::size_t>(std::min<std::uint64_t>(size, budget_));
        File::writeAll(data, allowed);
        budget_ -= allowed;
        if (allowed < size) {
            throw runtime::Error(error_, path());
        }
    }

    void flush() override {
        failIf(FailingFiles::Fault::Flush);
        File::flush();
        files_.log("flush " + name_);
    }

    void close() override {
        const bool open = isOpen();
        File::close();
        if (open) {
            failIf(FailingFiles::Fault::Close);
        }
    }

    void placeAs(const std::string& temporaryPath, const std::string& target) override {
        failIf(FailingFiles::Fault::Place);
        File::placeAs(temporaryPath, target);
        files_.log("place " + name_);
    }

private:
    void failIf(FailingFiles::Fault fault) {
        if (fault_ == fault) {
            throw runtime::Error(error_, path());
        }
    }

    FailingFiles& files_;
    std::string name_;
    FailingFiles::Fault fault_;
    std::uint64_t budget_;
    std::uint64_t position_ = 0;
    runtime::ErrorNumber error_;
};

} // namespace

std::unique_ptr<runtime::File> FailingFiles::wrap(std::unique_ptr<runtime::File> file,
                                                  const std::string& name) {
    if (!file) {
        return file;
    }
    const Fault fault = name == name_ ? fault_ : Fault::None;
    return std::make_unique<TestFile>(std::move(*file), *this, name, fault, bytes_, error_);
}

std::unique_ptr<runtime::File> FailingFiles::open(const std::string& path, Mode mode,
                                                  std::uint32_t permissions) {
    if (mode == Mode::Read) {
        log("read " + bareName(path));
    }
    return wrap(FileOpener::open(path, mode, permissions), bareName(path));
}

std::unique_ptr<runtime::File> FailingFiles::createTemporary(const std::string& folderPrefix,
                                                             const std::string& shownAs,
                                                             std::string& createdPath,
                                                             std::uint32_t permissions) {
    log("temporary " + bareName(shownAs));
    return wrap(FileOpener::createTemporary(folderPrefix, shownAs, createdPath, permissions),
                bareName(shownAs));
}

void FailingFiles::flushFolder(const std::string& folderPrefix) {
    FileOpener::flushFolder(folderPrefix);
    log("flush folder");
}

void FailingFiles::flushFileSystem(const std::string& folderPrefix) {
    FileOpener::flushFileSystem(folderPrefix);
    log("flush file system");
}

void FailingFiles::log(const std::string& call) {
    const std::lock_guard lock(mutex_);
    calls_.push_back(call);
}

std::vector<std::string> FailingFiles::calls() {
    const std::lock_guard lock(mutex_);
    return calls_;
}

int FailingFiles::readings(const std::string& name) {
    const std::lock_guard lock(mutex_);
    return static_cast<int>(std::count(calls_.begin(), calls_.end(), "read " + name));
}

} // namespace testing_support
