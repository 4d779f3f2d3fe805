#pragma once
// The main window started as the program starts it, with its settings and documents in a
// temporary folder and scripted answers to its boxes.
#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>
#include <string>

#include "app/main_form.h"
#include "data_files.h"
#include "online/online_mode.h"
#include "scripted_dialogs.h"
#include "seams/qt_settings_store.h"

namespace zv::test {

using gui::TMainForm;

class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        QFile file(dir.filePath("car.zvt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromStdString(ToFileText(NewFileLines())));
        dataFile = file.fileName().toStdString();
    }

    std::unique_ptr<TMainForm> Start(const std::string& startFile,
                                     std::optional<int> sim = std::nullopt,
                                     const std::string& startLog = {}) {
        gui::TProgramOptions options;
        options.StartFile = startFile;
        options.StartLog = startLog;
        if (sim)
            options.Port = TPortName{TPortName::Kind::Sim, *sim, 0, {}};
        options.SimImage = simImage;
        options.UserPath = dir.path().toStdString();
        options.ScriptedDialogs = &dialogs;
        auto form =
            std::make_unique<TMainForm>(options, std::make_unique<gui::QtSettingsStore>(Ini()));
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return form;
    }
    QString Ini() const { return dir.filePath("settings.ini"); }
    QVariant Stored(const QString& key) const {
        return QSettings(Ini(), QSettings::IniFormat).value(key);
    }
    static bool WaitForIdle(TMainForm& form) {
        return QTest::qWaitFor([&] { return form.Online().LinkState() == link::Idle; }, 5000);
    }

    QTemporaryDir dir;
    std::string dataFile;
    ScriptedDialogs dialogs;
    std::optional<ImageBytes> simImage;  // the built-in unit's memory at start
};

}  // namespace zv::test
