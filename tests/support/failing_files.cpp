#include "failing_files.h"

#include <algorithm>

namespace testing_support {

namespace {

// A real file that lets `budget` bytes through in one direction, then fails.
class FailAfter : public runtime::File {
public:
    FailAfter(runtime::File&& real, FailingFiles::Fault fault, std::uint64_t budget,
              runtime::ErrorNumber error)
        : File(std::move(real)), fault_(fault), budget_(budget), error_(error) {}

    std::size_t read(void* buffer, std::size_t size) override {
        if (fault_ != FailingFiles::Fault::Read) {
            return File::read(buffer, size);
        }
        if (budget_ == 0) {
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

    bool allowsKernelCopy() const noexcept override { return false; }

private:
    FailingFiles::Fault fault_;
    std::uint64_t budget_;
    runtime::ErrorNumber error_;
};

bool endsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

} // namespace

std::unique_ptr<runtime::File> FailingFiles::open(const std::string& path, Mode mode,
                                                  std::uint32_t permissions) {
    std::unique_ptr<runtime::File> file = FileOpener::open(path, mode, permissions);
    if (!file || !endsWith(path, nameEnding_) ||
        (mode == Mode::Read && soundReadings_.fetch_sub(1) > 0)) {
        return file;
    }
    return std::make_unique<FailAfter>(std::move(*file), fault_, bytes_, error_);
}

} // namespace testing_support
