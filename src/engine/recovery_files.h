#pragma once

#include "engine/file_opener.h"
#include "engine/result.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Recovery files beside a set of pieces, in the PAR 2.0 format, so that this program and any
// PAR2 client can rebuild lost or damaged pieces: an index NAME.par2 and volumes
// NAME.vol00+01.par2, NAME.vol01+02.par2, … (1, 2, 4, … recovery slices each), NAME being
// the joined file's name.
namespace engine {

struct RecoveryRequest {
    std::string folderPrefix;            // where the pieces are
    std::string targetName;              // the joined file's name, without a folder
    std::vector<std::string> pieceNames; // in their order, without a folder
    std::int64_t pieceSize = 0;
    int piecesToRebuild = 0; // how many whole pieces the files can rebuild
    std::uint32_t permissions = runtime::File::defaultPermissions;
};

// The slice size for pieces of `pieceSize` bytes: one slice a piece, rounded up to a
// multiple of 4.
std::uint64_t recoverySliceSize(std::int64_t pieceSize);

// The memory the recovery data may take while it is made.
inline constexpr std::uint64_t recoveryMemory = 48ull << 20;

// Why the files cannot be made (too many pieces to rebuild, or recovery data past what
// memory allows), or nothing.
Refusal recoveryRefusal(const RecoveryRequest& request);

// The names of the files, the index first: [first exponent, count) of each volume.
struct RecoveryVolume {
    std::string name;
    std::uint32_t firstExponent = 0, count = 0;
};
std::vector<RecoveryVolume> recoveryVolumes(const std::string& targetName,
                                            std::uint32_t recoverySlices);

// What a file's name says of it as a recovery file: the joined file it is named after, and
// whether it is the index (NAME.par2) or a volume (NAME.vol<digits>+<digits>.par2);
// nothing for any other name. ".par2" and ".vol" in any case of ASCII letters.
struct RecoveryName {
    std::string target;
    bool index = false;
};
std::optional<RecoveryName> recoveryNameOf(const std::string& name);

// The sizes of the files writeRecoveryFiles writes, in recoveryVolumes' order.
std::vector<std::int64_t> recoveryFileSizes(const RecoveryRequest& request);

// Reads the pieces back and writes the recovery files, each atomically and flushed; `pump`
// is called between blocks. Returns the names written.
std::vector<std::string> writeRecoveryFiles(FileOpener& files, const RecoveryRequest& request,
                                            const std::function<void()>& pump);

namespace recovery_text {
inline constexpr const char* creator = "Corvane File Splitter 2.0";
std::string tooManyToRebuild(int piecesToRebuild, int pieces);
std::string tooLarge(std::int64_t pieceSize, int piecesToRebuild);
} // namespace recovery_text

} // namespace engine
