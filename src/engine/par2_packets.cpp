#include "engine/par2_packets.h"

#include "runtime/hasher.h"

#include <algorithm>

namespace engine::par2 {

namespace {

constexpr std::string_view magic{"PAR2\0PKT", 8};
constexpr std::string_view mainType{"PAR 2.0\0Main\0\0\0\0", 16};
constexpr std::string_view fileDescriptionType{"PAR 2.0\0FileDesc", 16};
constexpr std::string_view sliceChecksumType{"PAR 2.0\0IFSC\0\0\0\0", 16};
constexpr std::string_view recoverySliceType{"PAR 2.0\0RecvSlic", 16};
constexpr std::string_view creatorType{"PAR 2.0\0Creator\0", 16};

void putNumber(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

void putMd5(std::string& out, const Md5& md5) {
    out.append(reinterpret_cast<const char*>(md5.data()), md5.size());
}

// Strings are padded with zero bytes to a multiple of 4.
void putPadded(std::string& out, std::string_view text) {
    out += text;
    out.append((4 - text.size() % 4) % 4, '\0');
}

std::string packet(const Md5& setId, std::string_view type, std::string_view body) {
    std::string hashed;
    hashed.reserve(32 + body.size());
    putMd5(hashed, setId);
    hashed += type;
    hashed += body;
    std::string out;
    out.reserve(32 + hashed.size());
    out += magic;
    putNumber(out, 32 + hashed.size(), 8);
    putMd5(out, md5Of(hashed));
    out += hashed;
    return out;
}

std::string mainBody(const RecoverySet& set) {
    std::string body;
    putNumber(body, set.sliceSize, 8);
    putNumber(body, set.files.size(), 4);
    for (const InputFile& file : set.files) {
        putMd5(body, file.id());
    }
    return body;
}

} // namespace

Md5 md5Of(std::string_view bytes) {
    runtime::Hasher hasher(runtime::HashKind::Md5);
    hasher.update(bytes.data(), bytes.size());
    const std::string digest = hasher.digest();
    Md5 md5{};
    std::copy(digest.begin(), digest.end(), md5.begin());
    return md5;
}

Md5 InputFile::id() const {
    std::string hashed;
    putMd5(hashed, first16k);
    putNumber(hashed, length, 8);
    hashed += name;
    return md5Of(hashed);
}

void RecoverySet::sortFiles() {
    std::sort(files.begin(), files.end(), [](const InputFile& a, const InputFile& b) {
        const Md5 x = a.id(), y = b.id();
        return std::lexicographical_compare(x.rbegin(), x.rend(), y.rbegin(), y.rend());
    });
}

Md5 RecoverySet::id() const {
    return md5Of(mainBody(*this));
}

std::string mainPacket(const RecoverySet& set) {
    return packet(set.id(), mainType, mainBody(set));
}

std::string fileDescriptionPacket(const RecoverySet& set, const InputFile& file) {
    std::string body;
    putMd5(body, file.id());
    putMd5(body, file.whole);
    putMd5(body, file.first16k);
    putNumber(body, file.length, 8);
    putPadded(body, file.name);
    return packet(set.id(), fileDescriptionType, body);
}

std::string sliceChecksumPacket(const RecoverySet& set, const InputFile& file) {
    std::string body;
    putMd5(body, file.id());
    for (const SliceChecksum& slice : file.slices) {
        putMd5(body, slice.md5);
        putNumber(body, slice.crc, 4);
    }
    return packet(set.id(), sliceChecksumType, body);
}

std::string recoverySlicePacket(const RecoverySet& set, std::uint32_t exponent,
                                std::string_view data) {
    std::string body;
    body.reserve(4 + data.size());
    putNumber(body, exponent, 4);
    body += data;
    return packet(set.id(), recoverySliceType, body);
}

std::string creatorPacket(const RecoverySet& set, std::string_view creator) {
    std::string body;
    putPadded(body, creator);
    return packet(set.id(), creatorType, body);
}

std::string criticalPackets(const RecoverySet& set) {
    std::string packets = mainPacket(set);
    for (const InputFile& file : set.files) {
        packets += fileDescriptionPacket(set, file);
        packets += sliceChecksumPacket(set, file);
    }
    return packets;
}

} // namespace engine::par2
