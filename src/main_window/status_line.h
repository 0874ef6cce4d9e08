#pragma once

#include <functional>
#include <string>

// The status text as the status line shows it in the room it has, whose width the
// caller measures with `fits`. Text that fits is shown whole. A progress line
// ("正在处理：<path>  <percent>") keeps the piece's name and the percentage and gives
// up the middle of its folder ("…"); any other text gives up its own middle.
std::string shownStatus(const std::string& text,
                        const std::function<bool(const std::string&)>& fits);
