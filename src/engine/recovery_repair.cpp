#include "engine/recovery_repair.h"

#include "engine/atomic_file.h"
#include "engine/gf16.h"
#include "runtime/error.h"
#include "runtime/hasher.h"

#include <algorithm>

namespace engine {

namespace {

constexpr std::size_t blockSize = 256 * 1024;

// A digest's bytes against an MD5 as the packets carry it.
bool sameMd5(const std::string& digest, const par2::Md5& md5) {
    return std::equal(digest.begin(), digest.end(), md5.begin(), md5.end(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

std::uint64_t slicesOf(const par2::InputFile& file, std::uint64_t sliceSize) {
    return (file.length + sliceSize - 1) / sliceSize;
}

// Whether the file is there with the described length and MD5.
bool isWhole(FileOpener& files, const std::string& path, const par2::InputFile& described,
             const std::function<void()>& pump) {
    std::unique_ptr<runtime::File> file;
    try {
        file = files.open(path, FileOpener::Mode::Read);
    } catch (const runtime::Error&) {
        return false;
    }
    if (static_cast<std::uint64_t>(file->length()) != described.length) {
        return false;
    }
    runtime::Hasher md5(runtime::HashKind::Md5);
    std::vector<char> block(blockSize);
    while (const std::size_t got = file->read(block.data(), block.size())) {
        md5.update(block.data(), got);
        pump();
    }
    return sameMd5(md5.digest(), described.whole);
}

// The inverse of a square matrix over GF(2^16), by Gauss-Jordan elimination; it exists, the
// constants being of full order, whenever the exponents differ.
std::vector<std::vector<gf16::Word>> inverse(std::vector<std::vector<gf16::Word>> a) {
    const std::size_t n = a.size();
    std::vector<std::vector<gf16::Word>> inv(n, std::vector<gf16::Word>(n, 0));
    for (std::size_t i = 0; i < n; ++i) {
        inv[i][i] = 1;
    }
    for (std::size_t column = 0; column < n; ++column) {
        std::size_t pivot = column;
        while (pivot < n && a[pivot][column] == 0) {
            ++pivot;
        }
        if (pivot == n) {
            throw runtime::Error(runtime::ErrorNumber::InvalidArgument,
                                 "恢复文件的数据无法求解，请换一组恢复文件再试");
        }
        std::swap(a[pivot], a[column]);
        std::swap(inv[pivot], inv[column]);
        const gf16::Word scale = a[column][column];
        for (std::size_t k = 0; k < n; ++k) {
            a[column][k] = gf16::divide(a[column][k], scale);
            inv[column][k] = gf16::divide(inv[column][k], scale);
        }
        for (std::size_t row = 0; row < n; ++row) {
            const gf16::Word factor = a[row][column];
            if (row == column || factor == 0) {
                continue;
            }
            for (std::size_t k = 0; k < n; ++k) {
                a[row][k] ^= gf16::multiply(factor, a[column][k]);
                inv[row][k] ^= gf16::multiply(factor, inv[column][k]);
            }
        }
    }
    return inv;
}

} // namespace

RepairResult repairSet(FileOpener& files, const std::string& folderPrefix,
                       par2::ReadRecoverySet read, std::uint32_t permissions,
                       const std::function<void()>& pump) {
    const std::uint64_t sliceSize = read.set.sliceSize;
    RepairResult result;
    // Every slice in the set's order: its file and its place in it.
    struct Slice {
        std::size_t file;
        std::uint64_t index;
    };
    std::vector<Slice> slices, lostSlices;
    std::vector<std::size_t> lostFiles;
    std::vector<std::uint32_t> lostIndexes;
    for (std::size_t f = 0; f < read.set.files.size(); ++f) {
        const par2::InputFile& file = read.set.files[f];
        const bool whole = isWhole(files, folderPrefix + file.name, file, pump);
        if (!whole) {
            result.lost.push_back(file.name);
            lostFiles.push_back(f);
        }
        for (std::uint64_t k = 0; k < slicesOf(file, sliceSize); ++k) {
            if (!whole) {
                lostIndexes.push_back(static_cast<std::uint32_t>(slices.size()));
                lostSlices.push_back({f, k});
            }
            slices.push_back({f, k});
        }
    }
    const std::size_t needed = lostSlices.size();
    const std::uint64_t perFile =
        read.set.files.empty() ? 1
                               : std::max<std::uint64_t>(1, slicesOf(read.set.files[0], sliceSize));
    result.rebuildable = static_cast<int>(read.recovery.size() / perFile);
    if (result.lost.empty() || needed > read.recovery.size() ||
        slices.size() > gf16::maxInputSlices) {
        return result;
    }
    // As many recovery slices as slices are lost; the known slices' share taken out of them.
    std::vector<std::uint32_t> exponents;
    std::vector<std::string> remainder;
    for (auto& [exponent, data] : read.recovery) {
        if (exponents.size() == needed) {
            break;
        }
        exponents.push_back(exponent);
        remainder.push_back(std::move(data));
    }
    std::vector<char> block(blockSize + 2);
    for (std::uint32_t g = 0; g < slices.size(); ++g) {
        if (std::find(lostIndexes.begin(), lostIndexes.end(), g) != lostIndexes.end()) {
            continue;
        }
        const par2::InputFile& file = read.set.files[slices[g].file];
        const auto input = files.open(folderPrefix + file.name, FileOpener::Mode::Read);
        // Slices of one file come in order: skip to this one by reading the ones before.
        std::uint64_t skip = slices[g].index * sliceSize;
        while (skip > 0) {
            const std::size_t got = input->read(
                block.data(), static_cast<std::size_t>(std::min<std::uint64_t>(skip, blockSize)));
            if (got == 0) {
                break;
            }
            skip -= got;
        }
        const gf16::Word constant = gf16::inputConstant(g);
        std::uint64_t offset = 0;
        while (offset < sliceSize) {
            const auto want =
                static_cast<std::size_t>(std::min<std::uint64_t>(blockSize, sliceSize - offset));
            std::size_t got = input->read(block.data(), want);
            if (got == 0) {
                break; // the rest of the slice is zero bytes
            }
            if (got % 2 != 0) {
                block[got++] = '\0';
            }
            for (std::size_t i = 0; i < needed; ++i) {
                gf16::multiplyAdd(reinterpret_cast<std::uint8_t*>(remainder[i].data() + offset),
                                  reinterpret_cast<const std::uint8_t*>(block.data()), got,
                                  gf16::power(constant, exponents[i]));
            }
            offset += got;
            pump();
        }
    }
    std::vector<std::vector<gf16::Word>> matrix(needed, std::vector<gf16::Word>(needed));
    for (std::size_t i = 0; i < needed; ++i) {
        for (std::size_t j = 0; j < needed; ++j) {
            matrix[i][j] = gf16::power(gf16::inputConstant(lostIndexes[j]), exponents[i]);
        }
    }
    const auto solved = inverse(std::move(matrix));
    // Each lost file from its slices, in order.
    std::string slice(sliceSize, '\0');
    for (const std::size_t f : lostFiles) {
        const par2::InputFile& file = read.set.files[f];
        AtomicFile out(files, folderPrefix + file.name, permissions);
        runtime::Hasher md5(runtime::HashKind::Md5);
        std::uint64_t left = file.length;
        for (std::size_t j = 0; j < needed; ++j) {
            if (lostSlices[j].file != f) {
                continue;
            }
            std::fill(slice.begin(), slice.end(), '\0');
            for (std::size_t i = 0; i < needed; ++i) {
                gf16::multiplyAdd(reinterpret_cast<std::uint8_t*>(slice.data()),
                                  reinterpret_cast<const std::uint8_t*>(remainder[i].data()),
                                  sliceSize, solved[j][i]);
            }
            const auto part = static_cast<std::size_t>(std::min<std::uint64_t>(left, sliceSize));
            out.write(std::string_view(slice).substr(0, part));
            md5.update(slice.data(), part);
            left -= part;
            pump();
        }
        if (!sameMd5(md5.digest(), file.whole)) {
            throw runtime::Error(runtime::ErrorNumber::InvalidArgument,
                                 "用恢复文件补回的分割文件与恢复文件所记不符，请换一组恢复文件再试",
                                 folderPrefix + file.name);
        }
        out.commit();
    }
    result.rebuilt = true;
    return result;
}

} // namespace engine
