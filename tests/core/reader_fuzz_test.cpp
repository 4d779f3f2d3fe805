// Random and mutated files: the reader never crashes or hangs, and a file is either read
// completely or leaves the data set exactly as it was.
#include <gtest/gtest.h>

#include <random>

#include "data_files.h"
#include "temp_dir.h"

namespace zv {
namespace {

using test::ModelFixture;
using test::NewFileLines;
using test::TempDir;
using test::ToFileText;

std::string Mutate(std::string text, std::mt19937& rng) {
    auto pick = [&rng](std::size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    const int edits = 1 + static_cast<int>(pick(6));
    for (int e = 0; e < edits && !text.empty(); ++e) {
        const std::size_t at = pick(text.size());
        switch (pick(7)) {
            case 0: text.erase(at, 1 + pick(40)); break;
            case 1: text.insert(at, 1, static_cast<char>(pick(256))); break;
            case 2: text[at] = static_cast<char>(pick(256)); break;
            case 3: text.insert(at, ","); break;
            case 4: text.insert(at, "\r\n[Zevrin Map]\r\nT0=1\r\n"); break;
            case 5: text.resize(at); break;
            default: text.insert(at, text.substr(pick(text.size()), pick(200))); break;
        }
    }
    return text;
}

void ExpectSameDataSet(const TZVDataClass& a, const TZVDataClass& b) {
    EXPECT_EQ(a.Map, b.Map);
    EXPECT_EQ(a.AfrMap, b.AfrMap);
    EXPECT_EQ(a.Detail, b.Detail);
    EXPECT_EQ(a.Lin, b.Lin);
    EXPECT_EQ(a.Comment, b.Comment);
    EXPECT_EQ(a.FileName, b.FileName);
    EXPECT_EQ(a.DeviceData.Image, b.DeviceData.Image);
    EXPECT_EQ(a.FileData.Image, b.FileData.Image);
}

TEST(ReaderFuzz, MutatedAndRandomFilesReadCompletelyOrChangeNothing) {
    TempDir dir;
    const std::string good = ToFileText(NewFileLines());
    const std::string reference = dir.Write("reference.zvt", good);
    std::mt19937 rng(20261207);
    int read = 0;
    int refused = 0;
    for (int i = 0; i < 1500; ++i) {
        std::string content;
        if (i % 10 == 0) {
            content.resize(std::uniform_int_distribution<std::size_t>(0, 4000)(rng));
            for (auto& c : content) c = static_cast<char>(rng());
        } else {
            content = Mutate(good, rng);
        }
        ModelFixture f;
        ASSERT_TRUE(f.model.OpenDataFile(reference));
        const TZVDataClass before = f.model.Data();
        const std::string path = dir.Write("fuzz.zvt", content);
        if (f.model.OpenDataFile(path)) {
            ++read;
            EXPECT_EQ(f.model.Data().FileName, path);
            EXPECT_EQ(f.model.Data().Loaded, 1);
        } else {
            ++refused;
            ExpectSameDataSet(f.model.Data(), before);
            ASSERT_FALSE(f.dialogs.Boxes.empty());
            EXPECT_EQ(f.dialogs.Boxes.back().Caption, "Error");
        }
        if (HasFailure()) {
            ADD_FAILURE() << "input " << i << ":\n" << content;
            break;
        }
    }
    // Both outcomes must have been exercised, or the mutations test nothing.
    EXPECT_GT(read, 100);
    EXPECT_GT(refused, 100);
}

}  // namespace
}  // namespace zv
