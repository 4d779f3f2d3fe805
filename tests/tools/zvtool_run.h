#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace zv::test {

struct ToolRun {
    int Exit;
    std::string Out;
    std::string Err;
};

class Zvtool : public ::testing::Test {
  protected:
    TempDir dir;

    ToolRun Tool(const std::string& args) {
        const std::string out = dir.File("stdout.txt");
        const std::string err = dir.File("stderr.txt");
        // The tool's backups go below the documents folder: a home of the test's own keeps
        // them away from the user's.
        const std::string home = dir.Path().string();
        const std::string command = "HOME='" + home + "' XDG_CONFIG_HOME='" + home + "/.config' " +
                                    std::string(ZVTOOL_PATH) + " " + args + " >" + out + " 2>" + err;
        const int status = std::system(command.c_str());
        return {WEXITSTATUS(status), TempDir::Read(out), TempDir::Read(err)};
    }
    std::string Q(const std::string& name) { return "'" + dir.File(name) + "'"; }
};

// Lines of diff output that are not comment lines.
inline std::vector<std::string> ValueDifferences(const std::string& diff,
                                                 const std::string& skipPrefix = "") {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < diff.size()) {
        const auto end = diff.find('\n', start);
        const std::string line = diff.substr(start, end - start);
        if (line.rfind("Comment line", 0) != 0 &&
            (skipPrefix.empty() || line.rfind(skipPrefix, 0) != 0)) {
            lines.push_back(line);
        }
        start = end == std::string::npos ? diff.size() : end + 1;
    }
    return lines;
}

}  // namespace zv::test
