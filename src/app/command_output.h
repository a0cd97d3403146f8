// What a command run writes for the person or the tool that started it. The program has no
// console of its own (it is a window program), so the text goes to its standard output when that
// leads to a file or a pipe (as UTF-8: "翎图匠助手.exe /? > usage.txt"), else to the console of
// the program that started it, if there is one. Nothing is shown otherwise.
#pragma once

#include <string_view>

namespace app {

void WriteOutput(std::wstring_view text);

}  // namespace app
