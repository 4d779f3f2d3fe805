// Autotune against the simulated unit's realistic exhaust with its default settings: a lean
// block and a rich area reach their targets in two passes on the drives tuners log.
#include <gtest/gtest.h>

#include <cctype>

#include "autotune/autotune_session.h"
#include "tune_drive.h"

namespace zv::test {
namespace {

class TuneDrive : public ::testing::TestWithParam<TTuneScenario> {};

TEST_P(TuneDrive, LeanBlockAndRichAreaReachTheirTargetsInTwoPasses) {
    const TTuneScenario scenario = GetParam();
    TempDir dir;
    TZVDataClass data = ScenarioData(scenario);
    Perturb(data);
    std::array<TPassFigures, 3> passes{};
    for (std::size_t pass = 0; pass < passes.size(); ++pass) {
        const std::string path = DriveLog(data, scenario.Drive, dir, "pass" + std::to_string(pass));
        const auto read = SamplesFromLog(path);
        ASSERT_TRUE(std::holds_alternative<TTuneLog>(read));
        const TTuneResult result =
            RunAutotune(data, std::get<TTuneLog>(read), TuneSettingsFor(data));
        ASSERT_FALSE(result.Refused) << result.Refused->English;
        ApplyChanged(result, data);
        passes[pass] = Judge(result, data);
        const TPassFigures& f = passes[pass];
        // The figures of the closing note.
        std::printf("%s, pass %zu: %d covered (%d of the lean block, %d of the rich area), "
                    "%.1f %% within 5 %%, %.1f %% within 3 %%, %d moved the wrong way, %d worse; "
                    "%s\n",
                    scenario.Name().c_str(), pass + 1, f.Covered, f.InLean, f.InRich, f.Share5(),
                    f.Share3(), f.WrongWay, f.Worse,
                    TuneDelayLine(result, TuneSettingsFor(data), Language::English).c_str());
        EXPECT_EQ(f.Unfounded, 0) << "pass " << pass + 1;
    }
    EXPECT_GT(passes[0].InLean, 0);
    EXPECT_GT(passes[0].InRich, 0);
    EXPECT_GE(passes[1].Share5(), 95.0);
    EXPECT_GE(passes[1].Share3(), 85.0);
    EXPECT_EQ(passes[1].WrongWay, 0);
    EXPECT_EQ(passes[2].Worse, 0);
    EXPECT_GE(passes[2].Share3(), passes[1].Share3() - 2.0);
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, TuneDrive,
    ::testing::Values(TTuneScenario{TDrive::Inertia, false, false},
                      TTuneScenario{TDrive::Inertia, false, true},
                      TTuneScenario{TDrive::Inertia, true, false},
                      TTuneScenario{TDrive::Inertia, true, true},
                      TTuneScenario{TDrive::Road, false, false},
                      TTuneScenario{TDrive::Road, false, true},
                      TTuneScenario{TDrive::Road, true, false},
                      TTuneScenario{TDrive::Road, true, true}),
    [](const ::testing::TestParamInfo<TTuneScenario>& scenario) {
        // "InertiaSweepWidebandOnFControllerOff": the scenario in the test's name.
        std::string name;
        bool upper = true;
        for (const char c : scenario.param.Name()) {
            if (c == ' ' || c == ',') {
                upper = true;
                continue;
            }
            name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
            upper = false;
        }
        return name;
    });

}  // namespace
}  // namespace zv::test
