#pragma once

#include <string>
#include <vector>

// The headless driver's work, given its arguments (without the program name) in UTF-8.
int runSplitBench(const std::vector<std::string>& arguments);
