// The merge script's readings and reader, over any bytes; and every name the split can
// carry written into a script and read back.
#include "engine/merge_script.h"
#include "engine/merge_script_reader.h"
#include "engine/piece_plan.h"
#include "fuzz_check.h"
#include "runtime/error.h"
#include "runtime/script_encoding.h"

#include <algorithm>
#include <cstdint>

namespace {

void readAnyBytes(std::string_view bytes) {
    for (const engine::ScriptReading& reading : engine::scriptTextReadings(bytes)) {
        require(runtime::isUtf8(reading.text), "a reading is UTF-8 text");
        try {
            const engine::MergeCommand command = engine::readMergeScript(reading.text);
            require(!command.sources.empty(), "a command joins at least one piece");
            for (const auto& name : command.sources) {
                require(isBare(name), "every piece name is bare", name);
            }
            require(isBare(command.target), "the target is bare", command.target);
        } catch (const runtime::Error&) {
            // refused: what a script that is not one gets
        }
    }
}

// The split's own script for a source of this name reads back as its pieces and target.
void writeAndReadBack(const std::string& name) {
    if (!runtime::isUtf8(name) || !isBare(name) || engine::characterNoScriptCarries(name) ||
        name.size() > 200) {
        return;
    }
    const auto plan = engine::makePlan(name, 3, "", 8, runtime::PathStyle::Posix);
    if (!isBare(plan.names.targetName()) || !isBare(plan.pieceBareName(1))) {
        return;
    }
    const std::string bytes = engine::mergeScriptBytes(engine::mergeScriptText(plan));
    std::vector<std::string> pieces;
    for (int k = 1; k <= plan.count; ++k) {
        pieces.push_back(plan.pieceBareName(k));
    }
    bool found = false;
    for (const engine::ScriptReading& reading : engine::scriptTextReadings(bytes)) {
        try {
            const engine::MergeCommand command = engine::readMergeScript(reading.text);
            found =
                found || (command.sources == pieces && command.target == plan.names.targetName());
        } catch (const runtime::Error& error) {
            (void)error;
        }
    }
    require(found, "a script the split writes reads back as its set", name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    readAnyBytes(bytes);
    writeAndReadBack(std::string(bytes));
    return 0;
}
