// The data sheet needs Qt's painting; the tool starts an offscreen QGuiApplication for it.
#include "print_command.h"

#include <QGuiApplication>
#include <ctime>
#include <iostream>

#include "app/main_model.h"
#include "console_dialogs.h"
#include "print/data_sheet.h"
#include "print/sheet_painter.h"

namespace zv::tool {

const char* const kPrintUsage =
    "  print FILE -o OUT.pdf [--lang de|en]  the data sheet of FILE as a PDF (offline: no unit)\n";

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Usage(const std::string& error) {
    std::cerr << "zvtool print: " << error << '\n' << kPrintUsage;
    return kExitUsage;
}

}  // namespace

int RunPrintCommand(const std::vector<std::string>& args, Language lang) {
    std::string file;
    std::string out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "-o" || a == "--lang") && i + 1 >= args.size())
            return Usage(a + " needs a value");
        if (a == "-o") {
            out = args[++i];
        } else if (a == "--lang") {
            const std::string& v = args[++i];
            if (v != "de" && v != "en")
                return Usage("--lang takes en or de");
            lang = v == "de" ? Language::German : Language::English;
        } else if (file.empty() && !a.empty() && a[0] != '-') {
            file = a;
        } else {
            return Usage("unexpected argument: " + a);
        }
    }
    if (file.empty())
        return Usage("the data file is missing");
    if (out.empty())
        return Usage("-o OUT.pdf is missing");

    ConsoleDialogs dialogs;
    MemorySettingsStore settings;
    TMainModel model(dialogs, settings);
    model.SetLanguage(lang);
    model.SetReadOnlyOpen(true);  // printing only looks at the file
    if (!model.OpenDataFile(file))
        return kExitFailed;

    TDataSheetInput input;
    input.Data = &model.Data();
    input.Lang = lang;
    input.Comment = model.Data().Comment;
    input.Now = std::time(nullptr);
    const TDataSheet sheet = BuildDataSheet(input);

    // No window is shown: the tool runs without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "zvtool";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    const std::string error = gui::WriteDataSheetPdf(sheet, out);
    if (!error.empty()) {
        std::cerr << "zvtool print: " << error << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace zv::tool
