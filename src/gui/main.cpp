// zvcontrol [options] [FILE]: the program's main window (zvcontrol --help lists the options).
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/look.h"
#include "app/main_form.h"
#include "app/signal_bridge.h"
#include "app/single_instance.h"
#include "seams/qt_settings_store.h"
#include "unit_memory.h"

int main(int argc, char** argv) {
    // Before Qt: the usage must print where no display is.
    if (zv::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc)).Help) {
        std::cout << zv::kCommandLineUsage;
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZEVRIN"));
    QApplication::setOrganizationName(QString::fromLatin1(zv::gui::QtSettingsStore::kOrganization));

    std::vector<std::string> args;
    for (const QString& arg : QApplication::arguments().mid(1))
        args.push_back(arg.toStdString());
    const zv::TCommandLine line = zv::ParseCommandLine(args);
    if (!line.Error.empty()) {
        std::cerr << "zvcontrol: " << line.Error << '\n' << zv::kCommandLineUsage;
        return 2;
    }

    if (line.Port && line.Port->Type == zv::TPortName::Kind::Device &&
        !QFileInfo::exists(QString::fromStdString(line.Port->Path))) {
        std::cerr << "zvcontrol: port " << line.Port->Path << " does not exist\n";
        return 3;
    }

    std::optional<zv::ImageBytes> simImage;
    if (!line.SimData.empty()) {
        simImage = zv::tool::ImageForUnit(line.SimData, line.Port->Firmware,
                                          line.Lang.value_or(zv::Language::English));
        if (!simImage) {
            std::cerr << "zvcontrol: " << line.SimData
                      << " cannot be read as the simulated unit's data set\n";
            return 2;
        }
    }

    zv::gui::TSingleInstance instance;
    if (!instance.Acquire()) {
        QMessageBox::critical(nullptr, QStringLiteral("ZEVRIN"),
                              QStringLiteral("Application already running!!!"));
        return 1;
    }

    zv::gui::ApplyLook(app);
    zv::gui::TProgramOptions options;
    options.Port = line.Port;
    options.Lang = line.Lang;
    options.StartFile = line.File;
    options.StartLog = line.Log;
    options.StartPage = line.StartPage;
    options.SimImage = simImage;
    options.SimDrive = line.Drive.value_or(zv::TSimDrive{});
    options.ProgramDir = QApplication::applicationDirPath().toStdString();
    options.StatusToStderr = true;
    zv::gui::TMainForm form(options, std::make_unique<zv::gui::QtSettingsStore>());
    zv::gui::TSignalBridge closeOnSignal([&form] { form.CloseOnSignal(); });
    form.show();
    return QApplication::exec();
}
