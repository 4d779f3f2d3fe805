// The Options menu's input configuration: the firmware picks the dialog, and OK changes which
// pages the page selection offers.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/main_form.h"
#include "dashboard/dashboard.h"
#include "data_files.h"
#include "dialogs/lamp_function_box.h"
#include "dialogs/type_config2_dialog.h"
#include "dialogs/type_config_dialog.h"
#include "online/online_mode.h"
#include "scripted_dialogs.h"
#include "seams/qt_settings_store.h"

namespace zv::test {
namespace {

class InputConfig : public ::testing::Test {
  protected:
    void SetUp() override {
        QFile file(dir.filePath("car.zvt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromStdString(ToFileText(NewFileLines())));
        file.close();
        gui::TProgramOptions options;
        options.StartFile = file.fileName().toStdString();
        options.UserPath = dir.path().toStdString();
        options.ScriptedDialogs = &dialogs;
        form = std::make_unique<gui::TMainForm>(
            options, std::make_unique<gui::QtSettingsStore>(dir.filePath("settings.ini")));
        form->show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->Model().Data().Loaded == 1; }, 5000));
    }
    // Opens the dialog from the menu; the handler runs while it is up, then it closes.
    template <typename Dialog>
    bool WithDialog(const std::function<void(Dialog&)>& handler) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (dialog) {
                seen = true;
                handler(*dialog);
            }
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        form->Actions().InputConfig->trigger();
        return seen;
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<gui::TMainForm> form;
};

TEST_F(InputConfig, FirmwarePicksTheDialogAndOkChangesThePages) {
    TZVDataClass& data = form->Model().Data();
    data.DeviceData.Firmware = 27;
    data.DeviceData.SetFlagsWord(0);
    EXPECT_TRUE(WithDialog<gui::TTypeConfigDialog>([](gui::TTypeConfigDialog& d) {
        d.TempAsLambdaBox().click();
        d.accept();
    }));
    EXPECT_TRUE(TZVDataClass::TestFlag(data.DeviceData.FlagsWord(), 2));
    EXPECT_EQ(form->PageSelect().PageMask(), 0x0EDA) << "pin F as lambda input: pages 4 and 7";

    data.DeviceData.Firmware = 28;
    data.DeviceData.SetFlagsWord(0);
    data.InputESelect = data.InputFSelect = 0;
    EXPECT_TRUE(WithDialog<gui::TTypeConfig2Dialog>([](gui::TTypeConfig2Dialog& d) {
        d.InputEList().setCurrentIndex(2);
        Q_EMIT d.InputEList().activated(2);
        d.accept();
    }));
    EXPECT_EQ(form->PageSelect().PageMask(), 0x0F6A) << "E wideband: pages 5 and 8";

    // Cancel stores nothing.
    const std::uint16_t flags = data.DeviceData.FlagsWord();
    EXPECT_TRUE(WithDialog<gui::TTypeConfig2Dialog>(
        [](gui::TTypeConfig2Dialog& d) { d.LampBox().LambdaBox().click(); }));
    EXPECT_EQ(data.DeviceData.FlagsWord(), flags);
}

// E set to wideband while F is wideband: after the refusal the lists show E wideband and F map
// compensation, and that is what OK writes into the image and what the displays read.
TEST_F(InputConfig, RefusedPairLeavesListsFlagsAndDisplaysAgreeing) {
    TZVDataClass& data = form->Model().Data();
    data.DeviceData.Firmware = 30;
    data.DeviceData.SetFlagsWord(0x0104);  // F lambda input, wideband
    data.InputFSelect = 2;
    data.InputESelect = 0;
    int listE = -1, listF = -1;
    const std::size_t boxes = dialogs.Boxes.size();
    EXPECT_TRUE(WithDialog<gui::TTypeConfig2Dialog>([&](gui::TTypeConfig2Dialog& d) {
        d.InputEList().setCurrentIndex(2);
        Q_EMIT d.InputEList().activated(2);
        QTest::qWait(300);
        listE = d.InputEList().currentIndex();
        listF = d.InputFList().currentIndex();
        d.accept();
    }));
    EXPECT_EQ(dialogs.Boxes.size(), boxes + 1) << "the conflict message";
    EXPECT_EQ(listE, 2);
    EXPECT_EQ(listF, 0);
    EXPECT_EQ(data.DeviceData.FlagsWord(), 0x0208) << "E lambda input, wideband";
    EXPECT_EQ(data.DeviceData.Image[4], 0x08);
    EXPECT_EQ(data.DeviceData.Image[5], 0x02);
    const std::array<std::uint8_t, 8> record{0, 0, 0, 0, 0, 111, 0, 222};
    EXPECT_EQ(InputByteWithFunction(record, data, 2), 222) << "the displays read E";
    EXPECT_EQ(InputByteWithFunction(record, data, 1), std::nullopt);
}

}  // namespace
}  // namespace zv::test
