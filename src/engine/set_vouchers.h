#pragma once

#include "engine/merge_decision.h"
#include "engine/merge_script_reader.h"
#include "engine/result.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace engine {

// A checksum file has a line of about a hundred bytes per piece, 32767 at most; a larger
// file is none, and is not read into memory.
inline constexpr std::int64_t largestChecksumFile = 8 << 20;

// The folder's files by name, as its file system compares names.
class Folder {
public:
    explicit Folder(const std::vector<ListedFile>& listing);
    const ListedFile* find(const std::string& name) const;
    // A script is found in any case of ".BAT", as the command interpreter finds it.
    const ListedFile* findScript(const std::string& scriptName) const;
    const std::vector<ListedFile>& listing() const { return listing_; }

private:
    const std::vector<ListedFile>& listing_;
    std::map<std::string, const ListedFile*> byKey_;
    std::map<std::string, const ListedFile*> byUpperAscii_;
};

// Why nothing is read from this file: only the folder's own regular files are read (never
// a pipe, which would wait, nor a link to another folder's file).
Refusal unreadableReason(const ListedFile& file);

// The commands a script may hold, or why it holds none. Of the ways its bytes can be read,
// those whose pieces are all in the folder; when none is, the likeliest reading alone (the
// check then names the piece it misses). More than one is a tie that only the set's
// checksum file can break. `whenNotOne` replaces the description of a file that is no
// script (empty: the reader's own).
Result<std::vector<MergeCommand>> readScriptCommands(const ListedFile& script,
                                                     const FileReader& reader,
                                                     const std::string& whenNotOne,
                                                     const Folder& folder);

// A file that vouches for a set: a merge script (*.BAT) or this program's checksum file
// (<target>.sha256), with the pieces it lists in order and the file they join into.
struct Voucher {
    std::string file;
    std::string target;
    std::vector<std::string> pieces;
    bool script = false;
};

// Where a voucher lists a name: as its piece `number` (from 1).
struct Claim {
    const Voucher* voucher = nullptr;
    int number = 0;
};

// What the folder's vouchers say of its names: which set a name is a piece of. A name that
// a voucher lists belongs to that set, whatever else its look allows; files that cannot be
// read, or are no vouchers, say nothing.
class SetVouchers {
public:
    SetVouchers(const Folder& folder, const FileReader& reader);

    std::vector<Claim> claims(const std::string& name) const;
    // A claim on `name` by a set that does not join into `target`; nothing when none.
    std::optional<Claim> otherSetsClaim(const std::string& name, const std::string& target) const;
    // Why the claims on `name` cannot all hold (two sets list it), or nothing.
    Refusal conflict(const std::string& name) const;
    // The script among the vouchers of the set that joins into `target`; nothing when none.
    const Voucher* scriptOf(const std::string& target) const;

private:
    std::vector<Voucher> vouchers_;
    std::multimap<std::string, std::pair<std::size_t, int>> byPiece_;
};

} // namespace engine
