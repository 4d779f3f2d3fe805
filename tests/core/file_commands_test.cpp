#include <gtest/gtest.h>

#include <filesystem>

#include "app/logger_wiring.h"
#include "data/parameter_table.h"
#include "data/text_codec.h"
#include "data/text_file.h"
#include "data_files.h"
#include "logger/comment_form.h"
#include "temp_dir.h"

namespace zv {
namespace {

using test::ModelFixture;
using test::NewFileLines;
using test::ReplaceLine;
using test::TempDir;
using test::ToFileText;

// Runs a test inside its own empty working folder, where New proposes its names.
class FileCommands : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir.Path());
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    TempDir dir;
    ModelFixture f;

private:
    std::filesystem::path previous_;
};

TEST_F(FileCommands, NewProposesTheFirstFreeNameOnDisk) {
    f.model.NewZVFileClick();
    const std::string first = f.model.Data().FileName;
    EXPECT_EQ(std::filesystem::path(first).filename(), "NEW_0.ZVT");
    EXPECT_TRUE(f.model.Modified());
    EXPECT_TRUE(f.model.NeverSaved());
    EXPECT_EQ(f.model.Caption(), "Zevrin-Control  V3.28#00: " + first);
    EXPECT_FALSE(FileExists(first)) << "New writes nothing";

    f.dialogs.Answers = {MsgAnswer::No};  // "save first?" for the unsaved new data set
    f.model.NewZVFileClick();
    EXPECT_EQ(f.model.Data().FileName, first);
    ASSERT_EQ(f.dialogs.Boxes.size(), 1u);
    EXPECT_EQ(f.dialogs.Boxes[0].Text, "Data have been changed! Save first?");

    // Save on a never-saved data set asks for a name.
    f.dialogs.SaveChoices = {first};
    f.model.ZVFileSaveClick();
    ASSERT_EQ(f.dialogs.SaveRequests.size(), 1u);
    EXPECT_EQ(f.dialogs.SaveRequests[0].ProposedName, first);
    EXPECT_EQ(f.dialogs.SaveRequests[0].Title, "Save as..");
    // "NEW_0.ZVT" holds no ".zvt" in lower case, so the extension is added.
    EXPECT_TRUE(FileExists(first + ".zvt"));
    EXPECT_FALSE(f.model.Modified());

    std::filesystem::rename(first + ".zvt", first);
    f.model.NewZVFileClick();
    EXPECT_EQ(std::filesystem::path(f.model.Data().FileName).filename(), "NEW_1.ZVT");
}

TEST_F(FileCommands, NewDataSetDefaults) {
    f.model.SetLanguage(Language::German);
    f.model.CreateNewDataSet("x.zvt");
    const TZVDataClass& d = f.model.Data();
    EXPECT_EQ(d.DeviceData.Firmware, 40);
    EXPECT_EQ(d.Loaded, 1);
    EXPECT_EQ(d.Map[15][15], 251);
    // Cells where a row of the default map falls again: {t, r, value}.
    const int cells[][3] = {{0, 12, 78}, {2, 15, 140},  {5, 15, 186}, {9, 15, 223},
                            {13, 0, 68}, {14, 15, 250}, {7, 14, 206}, {10, 0, 69}};
    for (const auto& [t, r, value] : cells)
        EXPECT_EQ(d.Map[t][r], value) << t << "," << r;
    EXPECT_EQ(d.Detail[param::Pulse], 116);
    EXPECT_EQ(d.Lin[lin::RpmSites][15], 13);
    // The curves where they bend: {row, point, value}.
    const int points[][3] = {
        {lin::TpsScale, 11, 136},    {lin::TpsScale, 12, 86},    {lin::TpsScale, 13, 0},
        {lin::FotoControl, 1, 203},  {lin::FotoControl, 15, 15}, {lin::GeneralPurposeControl, 0, 0},
        {lin::TempControl, 15, 0},   {lin::IdleControl, 2, 121}, {lin::IdleControl, 3, 123},
        {lin::IdleControl, 11, 169}, {lin::TpsSites, 0, 210},    {lin::TpsSites, 13, 41},
        {lin::TpsSites, 15, 29},     {lin::RpmSites, 0, 199},    {lin::RpmSites, 8, 96},
        {lin::RpmSites, 14, 24},
    };
    for (const auto& [row, k, value] : points)
        EXPECT_EQ(d.Lin[row][k], value) << LinRowName(row) << "[" << k << "]";
    EXPECT_EQ(d.FileData.Image, d.DeviceData.Image);
    EXPECT_EQ(d.InputESelect, 0);
    ASSERT_EQ(d.Comment.size(), 1u);
    // dd.mm.yyyy  hh:nn:ss, nine blanks, the name
    EXPECT_EQ(d.Comment[0].size(), 20u + 9 + 5);
    EXPECT_EQ(d.Comment[0][2], '.');
    EXPECT_EQ(d.Comment[0].substr(20), "         x.zvt");

    f.model.SetLanguage(Language::English);
    f.model.CreateNewDataSet("y.zvt");
    EXPECT_EQ(f.model.Data().Comment[0][2], '/');
    const char ampm = f.model.Data().Comment[0][20];
    EXPECT_TRUE(ampm == 'a' || ampm == 'p');
}

TEST_F(FileCommands, SaveAsAppendsTheExtensionAndAsksBeforeOverwriting) {
    f.model.CreateNewDataSet("x");
    f.dialogs.SaveChoices = {dir.File("car")};
    f.model.MenuSaveZVFileAsClick();
    EXPECT_EQ(f.model.Data().FileName, dir.File("car.zvt"));
    EXPECT_EQ(f.model.Caption(), dir.File("car.zvt")) << "after Save As the caption is the bare path";
    EXPECT_EQ(f.settings.ReadString("Options", "RecentDir"), dir.Path().string());
    EXPECT_EQ(f.model.RecentFiles(), std::vector<std::string>{dir.File("car.zvt")});
    const std::string saved = TempDir::Read(dir.File("car.zvt"));

    f.model.Data().Map[0][0] = 1;
    f.model.Data().FieldsToImage();
    f.model.Data().FileImageToDevice();
    for (MsgAnswer refusal : {MsgAnswer::No, MsgAnswer::Cancel}) {
        f.dialogs.SaveChoices = {dir.File("car.zvt")};
        f.dialogs.Answers = {refusal};
        f.model.MenuSaveZVFileAsClick();
        EXPECT_EQ(TempDir::Read(dir.File("car.zvt")), saved);
    }
    EXPECT_EQ(f.dialogs.Boxes.back().Text, "File exist: '" + dir.File("car.zvt") + "'. Overwrite?");
    EXPECT_EQ(f.dialogs.Boxes.back().Buttons, MsgButtons::YesNoCancel);

    f.dialogs.SaveChoices = {dir.File("car.zvt")};
    f.dialogs.Answers = {MsgAnswer::Yes};
    f.model.MenuSaveZVFileAsClick();
    EXPECT_NE(TempDir::Read(dir.File("car.zvt")), saved);

    f.dialogs.SaveChoices = {std::nullopt};
    f.model.MenuSaveZVFileAsClick();  // cancelled: nothing happens
    EXPECT_EQ(f.model.Data().FileName, dir.File("car.zvt"));
}

TEST_F(FileCommands, AFailedSaveKeepsTheOldFileAndTheModifiedMark) {
    const auto path = dir.Write("keep.zvt", ToFileText(NewFileLines()));
    const std::string before = TempDir::Read(path);
    ASSERT_TRUE(f.model.OpenDataFile(path));

    f.model.Data().FileName = dir.File("missing-folder/keep.zvt");
    f.model.SetModified(true);
    EXPECT_FALSE(f.model.SaveDataFile());
    EXPECT_TRUE(f.model.Modified());
    ASSERT_EQ(f.dialogs.Boxes.size(), 1u);
    EXPECT_EQ(f.dialogs.Boxes[0].Caption, "Error");

    // A target that cannot be replaced: the temporary file is removed again.
    std::filesystem::create_directory(dir.File("folder.zvt"));
    f.model.Data().FileName = dir.File("folder.zvt");
    EXPECT_FALSE(f.model.SaveDataFile());
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.zvt")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2) << "no temporary file left";
    EXPECT_EQ(TempDir::Read(path), before);
}

TEST_F(FileCommands, OpenAsksFirstAndRemembersTheFolder) {
    const auto path = dir.Write("a.zvt", ToFileText(NewFileLines()));
    f.model.CreateNewDataSet(dir.File("b.zvt"));
    f.model.SetRecentDir("/start/here");
    f.dialogs.Answers = {MsgAnswer::No};
    f.dialogs.OpenChoices = {path};
    f.model.OpenZVFileClick();
    ASSERT_EQ(f.dialogs.OpenRequests.size(), 1u);
    EXPECT_EQ(f.dialogs.OpenRequests[0].InitialDirectory, "/start/here");
    EXPECT_EQ(f.dialogs.OpenRequests[0].Filter, "Zevrin data files(*.zvt)|*.zvt|All files (*.*)|*.*");
    EXPECT_EQ(f.model.Data().FileName, path);
    EXPECT_EQ(f.model.RecentDir(), dir.Path().string());
    EXPECT_FALSE(f.model.Modified());
    EXPECT_FALSE(f.model.NeverSaved());
    EXPECT_EQ(f.model.Caption(), "Zevrin-Control  V3.28#00: " + path);
    EXPECT_EQ(f.model.Data().DeviceData.Firmware, 40);
    EXPECT_EQ(f.model.Data().FileData.Firmware, 40);
}

TEST_F(FileCommands, RecentFilesAndTheFileCounter) {
    const auto a = dir.Write("a.zvt", ToFileText(NewFileLines()));
    const auto b = dir.Write("b.zvt", ToFileText(NewFileLines()));
    f.model.SetRecentFiles({"/elsewhere/x.zvt", a + ".bak"});
    ASSERT_TRUE(f.model.OpenDataFile(a));
    ASSERT_TRUE(f.model.OpenDataFile(b));
    ASSERT_TRUE(f.model.OpenDataFile(a));
    EXPECT_EQ(f.model.RecentFiles(), (std::vector<std::string>{a, b, "/elsewhere/x.zvt"}))
        << "entries that contain the path are replaced by it";
    EXPECT_EQ(f.model.FilesReadOrFirstSaved(), 3);

    EXPECT_FALSE(f.model.OpenDataFile(dir.File("gone.zvt")));
    f.model.SetRecentFiles({dir.File("gone.zvt"), a});
    f.dialogs.Boxes.clear();
    f.model.OpenRecentFileClick(dir.File("gone.zvt"));
    EXPECT_EQ(f.model.RecentFiles(), std::vector<std::string>{a});
    ASSERT_EQ(f.dialogs.Boxes.size(), 1u);
    EXPECT_EQ(f.dialogs.Boxes[0].Caption, "Warning");
    EXPECT_EQ(f.model.Data().FileName, a) << "the current data set stays";

    // The first save of a new data set counts too and goes on top without removing anything.
    f.model.CreateNewDataSet(a);
    ASSERT_TRUE(f.model.SaveDataFile());
    EXPECT_EQ(f.model.RecentFiles(), (std::vector<std::string>{a, a}));
    EXPECT_EQ(f.model.FilesReadOrFirstSaved(), 4);
}

TEST_F(FileCommands, RoundTripForSeveralFirmwareIndexes) {
    for (int fw : {3, 8, 11, 20, 30, 35, 38}) {
        ModelFixture writer;
        writer.model.CreateNewDataSet(dir.File("fw.zvt"));
        TZVDataClass& d = writer.model.Data();
        d.DeviceData.Firmware = static_cast<std::uint8_t>(fw);
        d.DeviceData.Ident.FirmwareCode = "X";  // as if read from a unit
        d.DeviceData.Ident.SerialNo = "ZV000123";
        d.Map[4][9] = 201;
        d.AfrMap[12][3] = 17;
        d.Detail[param::LambdaJump] = 33;
        d.Detail[param::MaxRot] = 7500;
        d.Lin[lin::IdleControl][0] = 99;
        d.Comment.push_back("second line");
        d.FieldsToImage();
        d.FileImageToDevice();
        ASSERT_TRUE(writer.model.SaveDataFile());

        ModelFixture reader;
        ASSERT_TRUE(reader.model.OpenDataFile(dir.File("fw.zvt"))) << fw;
        const TZVDataClass& r = reader.model.Data();
        EXPECT_EQ(reader.model.FileFirmware(), fw);
        EXPECT_EQ(r.Map, d.Map);
        EXPECT_EQ(r.AfrMap, d.AfrMap);
        EXPECT_EQ(r.Lin, d.Lin);
        EXPECT_EQ(r.Comment, d.Comment);
        for (int i = 0; i < kParameterCount; ++i) {
            // The oldest units keep no timing word: their files carry the fixed 116.
            EXPECT_EQ(r.Detail[static_cast<std::size_t>(i)], d.Detail[static_cast<std::size_t>(i)])
                << Parameter(i).Key << " firmware " << fw;
        }
        EXPECT_TRUE(reader.dialogs.Boxes.empty()) << fw;

        // The image agrees everywhere but in the timing word, which depends on the firmware.
        EXPECT_TRUE(std::equal(r.DeviceData.Image.begin() + 2, r.DeviceData.Image.end(), d.DeviceData.Image.begin() + 2));
    }
}

TEST_F(FileCommands, WindowsCommentSurvivesOpenAndSaveByteForByte) {
    auto lines = NewFileLines();
    lines.push_back("Motor: Gr\xF6\xDF" "e \xE4\xF6\xFC\xDF \x80 \x81 Ende");  // Windows-1252 bytes
    const std::string file = ToFileText(lines);
    const auto path = dir.Write("cp.zvt", file);
    ASSERT_TRUE(f.model.OpenDataFile(path));
    EXPECT_EQ(f.model.Data().Comment.back(), "Motor: Größe äöüß € \xC2\x81 Ende");
    ASSERT_TRUE(f.model.SaveDataFile());
    EXPECT_EQ(TempDir::Read(path), file);

    // UTF-8 files are read too and written back as Windows-1252.
    const auto utf8 = dir.Write("u8.zvt", ToFileText(NewFileLines()) + "Größe\r\n");
    ASSERT_TRUE(f.model.OpenDataFile(utf8));
    EXPECT_EQ(f.model.Data().Comment.back(), "Größe");
    ASSERT_TRUE(f.model.SaveDataFile());
    EXPECT_NE(TempDir::Read(utf8).find("Gr\xF6\xDF" "e\r\n"), std::string::npos);
}

TEST_F(FileCommands, OpeningTheLoadedFileReadsItAgain) {
    const auto path = dir.Write("a.zvt", ToFileText(NewFileLines()));
    ASSERT_TRUE(f.model.OpenDataFile(path));
    f.model.Data().Map[0][0] = 9;
    auto lines = NewFileLines();
    ReplaceLine(lines, "T0=", "T0=5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5");
    dir.Write("a.zvt", ToFileText(lines));
    ASSERT_TRUE(f.model.OpenDataFile(path));
    EXPECT_EQ(f.model.Data().Map[0][0], 5);
}

// The comment page is filled by an open without marking anything; what the operator pastes
// there marks the data set modified and goes into the file on save.
TEST_F(FileCommands, CommentPageLinesGoIntoTheFileOnSave) {
    TCommentForm form(10);
    TCommentPageAdapter page(f.model, form);
    auto lines = NewFileLines();
    lines.push_back("as read");
    const auto path = dir.Write("c.zvt", ToFileText(lines));
    ASSERT_TRUE(f.model.OpenDataFile(path));
    EXPECT_EQ(form.CommentLines().back(), "as read");
    form.CommentMemoChange({"as read"});
    EXPECT_FALSE(f.model.Modified());

    form.CommentMemoOperatorEdit();
    form.CommentMemoChange({"as read", "pasted"});
    EXPECT_TRUE(f.model.Modified());
    ASSERT_TRUE(f.model.SaveDataFile());
    EXPECT_NE(TempDir::Read(path).find("as read\r\npasted\r\n"), std::string::npos);
    EXPECT_FALSE(form.Typed()) << "a save starts the typed rule over";
}

}  // namespace
}  // namespace zv
