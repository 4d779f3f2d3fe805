#include <gtest/gtest.h>

#include <string>

#include "temp_dir.h"
#include "zvtool_run.h"

namespace zv {
namespace {

using test::ToolRun;
using test::Zvtool;

TEST_F(Zvtool, AutotuneRefusesBadOptionsAndUnreadableLogs) {
    ASSERT_EQ(Tool("new " + Q("car.zvt")).Exit, 0);
    const std::string car = Q("car.zvt");
    const std::string out = " -o " + Q("out.zvt");
    const auto refused = [&](const std::string& args, const std::string& message) {
        const ToolRun r = Tool("autotune " + args);
        EXPECT_EQ(r.Exit, 2) << args;
        EXPECT_NE(r.Err.find("zvtool: " + message), std::string::npos) << args << "\n" << r.Err;
    };
    refused(car + out, "autotune needs at least one --log");
    refused(car + " --log a.L05", "autotune needs -o OUT.zvt");
    refused("--log a.L05" + out, "autotune needs the data file first");
    refused(car + " --log a.L05 --authority 0" + out,
            "--authority takes a percentage above 0 and at most 100, not 0");
    refused(car + " --log a.L05 --authority 100.5" + out, "--authority takes");
    refused(car + " --log a.L05 --authority 10%" + out, "--authority takes");
    refused(car + " --log a.L05 --min-samples 0" + out,
            "--min-samples takes a whole number from 1 to 1000000, not 0");
    refused(car + " --log a.L05 --min-samples 1000001" + out, "--min-samples takes");
    refused(car + " --log a.L05 --min-samples 2.5" + out, "--min-samples takes");
    refused(car + " --log a.L05 --smooth 3" + out, "unknown option --smooth");
    refused(car + " --log a.L05" + out + " -o " + Q("again.zvt"), "-o given twice");
    refused(car + " --log", "--log needs a value");

    // The edges of the ranges pass the options; a log that cannot be read ends the run with
    // its name, and nothing is written.
    const ToolRun r = Tool("autotune " + car + " --log " + Q("missing.L05") +
                           " --authority 100 --min-samples 1" + out);
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Err.find("missing.L05: "), std::string::npos) << r.Err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.zvt")));
}

}  // namespace
}  // namespace zv
