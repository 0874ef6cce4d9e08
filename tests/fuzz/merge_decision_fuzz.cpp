// The merge decision over a generated folder: whatever the folder holds, a plan joins
// files that are there into a file that is none of them.
#include "engine/merge_decision.h"
#include "fuzz_check.h"
#include "runtime/path.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <map>

namespace {

// Names of the shapes sets have, so that the fuzzer reaches past "no such set" quickly.
std::string nameFrom(FuzzedDataProvider& input) {
    static const char* const shapes[] = {"a001.txt", "a002.txt",     "a003.txt",  "a.BAT",
                                         "a.txt",    "a.txt.sha256", "a.001",     "a.002",
                                         "a.crc",    "a.sfv",        "a.txt.001", "a.txt.002",
                                         "a.md5",    "b.BAT",        "a1000.txt", "a.txt.par2"};
    if (input.ConsumeBool()) {
        return shapes[input.ConsumeIntegralInRange<std::size_t>(0, std::size(shapes) - 1)];
    }
    return input.ConsumeRandomLengthString(24);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<engine::ListedFile> listing;
    std::map<std::string, std::string> contents;
    const auto count = input.ConsumeIntegralInRange<std::size_t>(1, 10);
    for (std::size_t i = 0; i < count; ++i) {
        engine::ListedFile file;
        file.name = nameFrom(input);
        if (file.name.empty() || std::any_of(listing.begin(), listing.end(), [&](const auto& f) {
                return runtime::namesEqual(f.name, file.name);
            })) {
            continue;
        }
        file.size = input.ConsumeIntegralInRange<std::int64_t>(0, 3000);
        file.regular = input.ConsumeIntegralInRange<int>(0, 7) != 0;
        contents[file.name] = input.ConsumeRandomLengthString(300);
        listing.push_back(file);
    }
    if (listing.empty()) {
        return 0;
    }
    const std::string picked =
        listing[input.ConsumeIntegralInRange<std::size_t>(0, listing.size() - 1)].name;
    const engine::MergeDecision decision =
        engine::decideMerge(picked, listing, [&](const std::string& name) {
            const auto found = contents.find(name);
            require(found != contents.end(), "only the folder's files are read", name);
            return found->second;
        });
    if (!decision) {
        require(!decision.problem().message.empty(), "a refusal says why");
        return 0;
    }
    const engine::MergePlan& plan = decision.value();
    require(!plan.pieces.empty(), "a plan joins at least one piece");
    require(isBare(plan.target), "the target is a bare name", plan.target);
    std::int64_t total = 0;
    for (const auto& piece : plan.pieces) {
        const auto listed = std::find_if(listing.begin(), listing.end(), [&](const auto& f) {
            return runtime::namesEqual(f.name, piece.name);
        });
        require(listed != listing.end() && listed->regular, "every piece is a file that is there",
                piece.name);
        require(listed->size == piece.size, "a piece has the size it was listed with");
        require(!runtime::namesEqual(piece.name, plan.target), "the target is not a piece",
                piece.name);
        total += piece.size;
    }
    require(total == plan.total, "the total is the pieces' sum");
    if (plan.checksums && !plan.checksums->pieces.empty()) {
        require(plan.checksums->pieces.size() == plan.pieces.size(),
                "a piece list checks every piece");
    }
    return 0;
}
