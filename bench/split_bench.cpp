// Headless driver of the engine for benchmarks and acceptance checks.
#include "split_bench.h"
#include "console_host.h"
#include "engine/merge_run.h"
#include "engine/split_run.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int usage() {
    std::fprintf(stderr, "usage: split-bench [--quiet] [--pump-stats] split [--recovery N] "
                         "SOURCE PIECE_SIZE DEST_PREFIX\n"
                         "       split-bench [--quiet] [--pump-stats] merge SCRIPT\n");
    return 2;
}

bool parseSize(const char* text, std::int64_t& size) {
    const char* end = text + std::strlen(text);
    const auto [ptr, status] = std::from_chars(text, end, size);
    return status == std::errc() && ptr == end;
}

const char* outcomeName(engine::Ending kind) {
    switch (kind) {
    case engine::Ending::Completed:
        return "completed";
    case engine::Ending::Refused:
        return "refused";
    case engine::Ending::Failed:
        return "failed";
    case engine::Ending::Cancelled:
        return "cancelled";
    }
    return "failed";
}

// 0 completed, 1 refused (nothing written), 3 failed or cancelled; 2 is the usage error.
int exitCode(engine::Ending kind) {
    switch (kind) {
    case engine::Ending::Completed:
        return 0;
    case engine::Ending::Refused:
        return 1;
    default:
        return 3;
    }
}

} // namespace

int runSplitBench(const std::vector<std::string>& arguments) {
    bool quiet = false;
    bool pumpStats = false;
    std::vector<std::string> words;
    for (const std::string& word : arguments) {
        if (word == "--quiet") {
            quiet = true;
        } else if (word == "--pump-stats") {
            pumpStats = true;
        } else {
            words.push_back(word);
        }
    }
    if (words.empty()) {
        return usage();
    }

    // split --recovery N …: recovery files that rebuild N pieces.
    std::int64_t recovery = 0;
    if (words.size() >= 3 && words[0] == "split" && words[1] == "--recovery") {
        if (!parseSize(words[2].c_str(), recovery) || recovery < 0 || recovery > 32767) {
            return usage();
        }
        words.erase(words.begin() + 1, words.begin() + 3);
    }
    ConsoleHost host(quiet);
    std::int64_t size = 0;
    const bool split = words[0] == "split" && words.size() == 4;
    if (!(split && parseSize(words[2].c_str(), size)) &&
        !(words[0] == "merge" && words.size() == 2)) {
        return usage();
    }
    const engine::RunOutcome outcome =
        split ? engine::SplitIT(host, words[1], size, words[3], static_cast<int>(recovery))
              : engine::MergeIT(host, words[1]);
    host.finish(pumpStats);
    std::printf("outcome: %s\n", outcomeName(outcome.ending()));
    return exitCode(outcome.ending());
}
