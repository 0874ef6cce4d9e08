#include "engine/par2_reader.h"

#include "runtime/error.h"

#include <algorithm>
#include <cstring>

namespace engine::par2 {

namespace {

constexpr std::string_view magic{"PAR2\0PKT", 8};
constexpr std::size_t headerSize = 64;
// No packet of a set this program reads is larger: a recovery slice of 1 GB and its exponent.
constexpr std::uint64_t largestPacket = headerSize + 4 + (1ull << 30);

std::uint64_t numberAt(std::string_view bytes, std::size_t at, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

Md5 md5At(std::string_view bytes, std::size_t at) {
    Md5 md5{};
    std::memcpy(md5.data(), bytes.data() + at, md5.size());
    return md5;
}

struct Packet {
    Md5 setId;
    std::string type;
    std::string body;
};

// Reads exactly `size` bytes; false at the end of the file.
bool readExactly(runtime::File& file, char* into, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const std::size_t n = file.read(into + got, size - got);
        if (n == 0) {
            return false;
        }
        got += n;
    }
    return true;
}

// The packets whose checksum holds, in order, from `next` (which reads exactly so many bytes,
// or says there are no more); reading stops at the first header that makes no sense (a
// damaged length would lose the way through the rest).
// `left` says how many bytes are still to be had: a length past them is damage, not a reason
// to set memory aside.
template <typename Next, typename Left>
std::vector<Packet> packetsFrom(const Next& next, const Left& left) {
    std::vector<Packet> packets;
    std::string header(headerSize, '\0');
    while (next(header.data(), headerSize)) {
        const std::uint64_t length = numberAt(header, 8, 8);
        if (std::string_view(header).substr(0, 8) != magic || length < headerSize ||
            length % 4 != 0 || length > largestPacket || length - headerSize > left()) {
            break;
        }
        std::string rest(static_cast<std::size_t>(length - headerSize), '\0');
        if (!next(rest.data(), rest.size())) {
            break;
        }
        const std::string hashed = header.substr(32) + rest;
        if (md5Of(hashed) != md5At(header, 16)) {
            continue; // damaged: passed over
        }
        packets.push_back({md5At(header, 32), header.substr(48, 16), std::move(rest)});
    }
    return packets;
}

std::vector<Packet> packetsOf(FileOpener& files, const std::string& path) {
    std::unique_ptr<runtime::File> file;
    try {
        file = files.open(path, FileOpener::Mode::Read);
    } catch (const runtime::Error&) {
        return {};
    }
    std::uint64_t read = 0;
    const auto length = static_cast<std::uint64_t>(file->length());
    return packetsFrom(
        [&](char* into, std::size_t size) {
            read += size;
            return readExactly(*file, into, size);
        },
        [&] { return length > read ? length - read : 0; });
}

std::vector<Packet> packetsIn(std::string_view bytes) {
    std::size_t at = 0;
    return packetsFrom(
        [&](char* into, std::size_t size) {
            if (bytes.size() - at < size) {
                return false;
            }
            std::memcpy(into, bytes.data() + at, size);
            at += size;
            return true;
        },
        [&] { return static_cast<std::uint64_t>(bytes.size() - at); });
}

constexpr std::string_view mainType{"PAR 2.0\0Main\0\0\0\0", 16};
constexpr std::string_view fileDescriptionType{"PAR 2.0\0FileDesc", 16};
constexpr std::string_view sliceChecksumType{"PAR 2.0\0IFSC\0\0\0\0", 16};
constexpr std::string_view recoverySliceType{"PAR 2.0\0RecvSlic", 16};

} // namespace

namespace {

std::optional<ReadRecoverySet> setOf(const std::vector<Packet>& packets, std::uint64_t memoryLimit);

} // namespace

std::optional<ReadRecoverySet> readRecoveryFiles(FileOpener& files,
                                                 const std::vector<std::string>& paths,
                                                 std::uint64_t memoryLimit) {
    std::vector<Packet> packets;
    for (const std::string& path : paths) {
        for (Packet& packet : packetsOf(files, path)) {
            packets.push_back(std::move(packet));
        }
    }
    return setOf(packets, memoryLimit);
}

std::optional<ReadRecoverySet> readRecoveryBytes(std::string_view bytes,
                                                 std::uint64_t memoryLimit) {
    return setOf(packetsIn(bytes), memoryLimit);
}

namespace {

std::optional<ReadRecoverySet> setOf(const std::vector<Packet>& packets,
                                     std::uint64_t memoryLimit) {
    const auto main = std::find_if(packets.begin(), packets.end(), [](const Packet& p) {
        return p.type == mainType && p.body.size() >= 12;
    });
    if (main == packets.end()) {
        return std::nullopt;
    }
    ReadRecoverySet read;
    read.set.sliceSize = numberAt(main->body, 0, 8);
    const auto count = static_cast<std::size_t>(numberAt(main->body, 8, 4));
    if (read.set.sliceSize == 0 || read.set.sliceSize % 4 != 0 ||
        main->body.size() < 12 + 16 * count) {
        return std::nullopt;
    }
    const Md5 setId = main->setId;
    std::vector<Md5> ids;
    for (std::size_t i = 0; i < count; ++i) {
        ids.push_back(md5At(main->body, 12 + 16 * i));
    }
    std::map<Md5, InputFile> described;
    std::map<Md5, std::vector<SliceChecksum>> checksums;
    std::uint64_t kept = 0;
    for (const Packet& packet : packets) {
        if (packet.setId != setId) {
            continue;
        }
        if (packet.type == fileDescriptionType && packet.body.size() >= 56) {
            InputFile file;
            file.whole = md5At(packet.body, 16);
            file.first16k = md5At(packet.body, 32);
            file.length = numberAt(packet.body, 48, 8);
            file.name = packet.body.substr(56);
            file.name.erase(file.name.find_last_not_of('\0') + 1);
            described.emplace(md5At(packet.body, 0), std::move(file));
        } else if (packet.type == sliceChecksumType && packet.body.size() >= 16) {
            std::vector<SliceChecksum> slices;
            for (std::size_t at = 16; at + 20 <= packet.body.size(); at += 20) {
                slices.push_back({md5At(packet.body, at),
                                  static_cast<std::uint32_t>(numberAt(packet.body, at + 16, 4))});
            }
            checksums.emplace(md5At(packet.body, 0), std::move(slices));
        } else if (packet.type == recoverySliceType &&
                   packet.body.size() == 4 + read.set.sliceSize &&
                   kept + read.set.sliceSize <= memoryLimit) {
            const auto exponent = static_cast<std::uint32_t>(numberAt(packet.body, 0, 4));
            if (read.recovery.emplace(exponent, packet.body.substr(4)).second) {
                kept += read.set.sliceSize;
            }
        }
    }
    for (const Md5& id : ids) {
        const auto found = described.find(id);
        if (found == described.end()) {
            return std::nullopt;
        }
        InputFile file = found->second;
        if (const auto sums = checksums.find(id); sums != checksums.end()) {
            file.slices = sums->second;
        }
        read.set.files.push_back(std::move(file));
    }
    return read;
}

} // namespace

} // namespace engine::par2
