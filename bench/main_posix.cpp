#include "split_bench.h"

int main(int argc, char** argv) {
    return runSplitBench(std::vector<std::string>(argv + 1, argv + argc));
}
