#pragma once

#include "engine/merge_decision.h"
#include "engine/merge_script_reader.h"
#include "engine/piece_set.h"
#include "engine/result.h"
#include "engine/set_vouchers.h"

#include <optional>
#include <string>
#include <vector>

namespace engine {

// Which files make up the set a picked file belongs to: the commands it may stand for.

// A picked file that is not named as a script: a piece that a voucher lists (the set it is
// listed in decides), the first piece of a set the folder bears out, or a script under
// another name. A later piece or the joined file is refused with what to pick instead.
Result<std::vector<MergeCommand>> commandsForPicked(const ListedFile& picked, const Folder& folder,
                                                    const SetVouchers& vouchers,
                                                    const FileReader& reader);

// Another tool's set ("name.ext.001", "name.001") picked at one of its pieces.
struct OtherToolPieces {
    std::string stem; // the pieces' name without the number
    std::vector<std::string> names;
};
// Its pieces in order, or why they cannot be had; nothing when the picked file is no such
// piece (or is a piece of one of this program's sets).
std::optional<Result<OtherToolPieces>>
otherToolPieces(const ListedFile& picked, const Folder& folder, const SetVouchers& vouchers);

// The set whose pieces 1, 2, ... the sources are, in order; nothing when they are not.
std::optional<PieceSet> numberedSet(const std::vector<std::string>& sources);

} // namespace engine
