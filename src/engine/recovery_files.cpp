#include "engine/recovery_files.h"

#include "engine/atomic_file.h"
#include "engine/gf16.h"
#include "engine/par2_packets.h"
#include "engine/room_check.h"
#include "runtime/ascii_case.h"
#include "runtime/error.h"
#include "runtime/hasher.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace engine {

namespace {

constexpr std::size_t blockSize = 256 * 1024;
constexpr std::size_t first16k = 16 * 1024;
constexpr const char* pieceChanged = "分割文件在写恢复文件时被改动了，恢复文件没有写出，请重新分割";

par2::Md5 md5From(runtime::Hasher& hasher) {
    const std::string digest = hasher.digest();
    par2::Md5 md5{};
    std::copy(digest.begin(), digest.end(), md5.begin());
    return md5;
}

std::uint32_t crcFrom(runtime::Hasher& hasher) {
    const std::string digest = hasher.digest(); // most significant byte first
    std::uint32_t value = 0;
    for (const char c : digest) {
        value = value << 8 | static_cast<unsigned char>(c);
    }
    return value;
}

std::string digits(std::uint32_t value, std::size_t width) {
    std::string text = std::to_string(value);
    return std::string(width > text.size() ? width - text.size() : 0, '0') + text;
}

} // namespace

std::optional<RecoveryName> recoveryNameOf(const std::string& name) {
    if (name.size() <= 5 || !runtime::endsWithIgnoringAsciiCase(name, ".par2")) {
        return std::nullopt;
    }
    const std::string stem = name.substr(0, name.size() - 5);
    // .vol<digits>+<digits> at the end of the stem makes it a volume.
    const auto plus = stem.rfind('+');
    const auto vol = plus == std::string::npos ? std::string::npos : stem.rfind('.', plus);
    const auto digits = [](std::string_view text) {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (vol != std::string::npos && vol > 0 && runtime::lowerAscii(stem.substr(vol, 4)) == ".vol" &&
        digits(std::string_view(stem).substr(vol + 4, plus - vol - 4)) &&
        digits(std::string_view(stem).substr(plus + 1))) {
        return RecoveryName{stem.substr(0, vol), false};
    }
    return RecoveryName{stem, true};
}

std::uint64_t recoverySliceSize(std::int64_t pieceSize) {
    return (static_cast<std::uint64_t>(pieceSize) + 3) / 4 * 4;
}

Refusal recoveryRefusal(const RecoveryRequest& request) {
    const int pieces = static_cast<int>(request.pieceNames.size());
    if (request.piecesToRebuild < 1 || request.piecesToRebuild >= pieces) {
        return Problem{Ending::Refused,
                       recovery_text::tooManyToRebuild(request.piecesToRebuild, pieces)};
    }
    if (recoverySliceSize(request.pieceSize) * static_cast<std::uint64_t>(request.piecesToRebuild) >
        recoveryMemory) {
        return Problem{Ending::Refused,
                       recovery_text::tooLarge(request.pieceSize, request.piecesToRebuild)};
    }
    return std::nullopt;
}

std::vector<RecoveryVolume> recoveryVolumes(const std::string& targetName,
                                            std::uint32_t recoverySlices) {
    std::vector<RecoveryVolume> volumes{{targetName + ".par2", 0, 0}};
    const std::size_t width = std::max<std::size_t>(2, std::to_string(recoverySlices).size());
    std::uint32_t first = 0;
    for (std::uint32_t count = 1; first < recoverySlices; count *= 2) {
        const std::uint32_t taken = std::min(count, recoverySlices - first);
        volumes.push_back(
            {targetName + ".vol" + digits(first, width) + "+" + digits(taken, width) + ".par2",
             first, taken});
        first += taken;
    }
    return volumes;
}

std::vector<std::int64_t> recoveryFileSizes(const RecoveryRequest& request) {
    const auto padded = [](std::size_t size) {
        return static_cast<std::int64_t>((size + 3) / 4 * 4);
    };
    const auto slice = static_cast<std::int64_t>(recoverySliceSize(request.pieceSize));
    const auto pieces = static_cast<std::int64_t>(request.pieceNames.size());
    std::int64_t critical = 64 + 12 + 16 * pieces + pieces * (64 + 16 + 20);
    for (const std::string& name : request.pieceNames) {
        critical += 64 + 56 + padded(name.size());
    }
    const std::int64_t creator = 64 + padded(std::string_view(recovery_text::creator).size());
    std::vector<std::int64_t> sizes;
    for (const RecoveryVolume& volume :
         recoveryVolumes(request.targetName, static_cast<std::uint32_t>(request.piecesToRebuild))) {
        sizes.push_back(critical + creator + volume.count * (64 + 4 + slice));
    }
    return sizes;
}

std::vector<std::string> writeRecoveryFiles(FileOpener& files, const RecoveryRequest& request,
                                            const std::function<void()>& pump) {
    const std::uint64_t sliceSize = recoverySliceSize(request.pieceSize);
    const auto recoverySlices = static_cast<std::uint32_t>(request.piecesToRebuild);
    std::vector<std::string> recovery(recoverySlices, std::string(sliceSize, '\0'));

    par2::RecoverySet set;
    set.sliceSize = sliceSize;
    for (const std::string& name : request.pieceNames) {
        set.files.push_back({name, 0, {}, {}, {}});
    }
    std::vector<char> block(blockSize + 2);
    // The file IDs first (the first 16 KiB and the length): they decide the order, and the
    // order the constants.
    for (par2::InputFile& input : set.files) {
        const auto piece = files.open(request.folderPrefix + input.name, FileOpener::Mode::Read);
        input.length = static_cast<std::uint64_t>(piece->length());
        runtime::Hasher start(runtime::HashKind::Md5);
        std::size_t read = 0;
        while (read < first16k) {
            const std::size_t got = piece->read(block.data(), first16k - read);
            if (got == 0) {
                break;
            }
            start.update(block.data(), got);
            read += got;
        }
        input.first16k = md5From(start);
    }
    set.sortFiles();
    // Then each piece once: its checksums and its share of every recovery slice, from the
    // same buffer.
    for (std::uint32_t n = 0; n < set.files.size(); ++n) {
        par2::InputFile& input = set.files[n];
        const auto piece = files.open(request.folderPrefix + input.name, FileOpener::Mode::Read);
        const gf16::Word constant = gf16::inputConstant(n);
        std::vector<gf16::Word> factors(recoverySlices);
        for (std::uint32_t e = 0; e < recoverySlices; ++e) {
            factors[e] = gf16::power(constant, e);
        }
        // A full slice's MD5 is the file's; only a padded one needs its own.
        const bool padded = input.length < sliceSize;
        runtime::Hasher whole(runtime::HashKind::Md5), crc(runtime::HashKind::Crc32);
        std::optional<runtime::Hasher> slice;
        if (padded) {
            slice.emplace(runtime::HashKind::Md5);
        }
        std::uint64_t offset = 0, bytesRead = 0;
        while (std::size_t got = piece->read(block.data(), blockSize)) {
            bytesRead += got;
            if (bytesRead > input.length) {
                break; // grown since: caught below
            }
            whole.update(block.data(), got);
            crc.update(block.data(), got);
            if (slice) {
                slice->update(block.data(), got);
            }
            if (got % 2 != 0) {
                block[got++] = '\0'; // the last word of an odd length, padded
            }
            for (std::uint32_t e = 0; e < recoverySlices; ++e) {
                gf16::multiplyAdd(reinterpret_cast<std::uint8_t*>(recovery[e].data() + offset),
                                  reinterpret_cast<const std::uint8_t*>(block.data()), got,
                                  factors[e]);
            }
            offset += got;
            pump();
        }
        if (bytesRead != input.length) {
            throw runtime::Error(runtime::ErrorNumber::InvalidArgument, pieceChanged,
                                 request.folderPrefix + input.name);
        }
        const std::string padding(sliceSize - input.length, '\0');
        crc.update(padding.data(), padding.size());
        input.whole = md5From(whole);
        if (slice) {
            slice->update(padding.data(), padding.size());
        }
        input.slices = {{slice ? md5From(*slice) : input.whole, crcFrom(crc)}};
    }

    const std::string critical = par2::criticalPackets(set);
    const std::string creator = par2::creatorPacket(set, recovery_text::creator);
    std::vector<std::string> written;
    for (const RecoveryVolume& volume : recoveryVolumes(request.targetName, recoverySlices)) {
        AtomicFile file(files, request.folderPrefix + volume.name, request.permissions);
        for (std::uint32_t e = volume.firstExponent; e < volume.firstExponent + volume.count; ++e) {
            file.write(par2::recoverySlicePacket(set, e, recovery[e]));
            pump();
        }
        file.write(critical);
        file.write(creator);
        file.commit();
        written.push_back(volume.name);
    }
    return written;
}

namespace recovery_text {

std::string tooManyToRebuild(int piecesToRebuild, int pieces) {
    return "恢复文件可补回的分割文件数须在1和" + std::to_string(std::max(1, pieces - 1)) +
           "之间（共" + std::to_string(pieces) + "个分割文件），现在是" +
           std::to_string(piecesToRebuild) + "，请重新设置!";
}

std::string tooLarge(std::int64_t pieceSize, int piecesToRebuild) {
    return "每个分割文件" + byteSizeText(pieceSize) + "，要补回" + std::to_string(piecesToRebuild) +
           "个需要的内存超出本程序的限度，请减少要补回的个数或把分割后文件大小设小一些!";
}

} // namespace recovery_text

} // namespace engine
