// The core-only build (the Windows cross build) has no Qt to paint the data sheet with.
#include <iostream>

#include "print_command.h"

namespace zv::tool {

const char* const kPrintUsage =
    "  print FILE -o OUT.pdf [--lang de|en]  (not in this build: it needs Qt)\n";

int RunPrintCommand(const std::vector<std::string>&, Language) {
    std::cerr << "zvtool print: this build has no printing; use the Linux build with Qt\n";
    return 1;
}

}  // namespace zv::tool
