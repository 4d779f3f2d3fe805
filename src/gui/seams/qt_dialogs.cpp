#include "seams/qt_dialogs.h"

#include "dialogs/list_choice_dialog.h"

#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace zv::gui {

namespace {

const TextPair kYes = {"&Ja", "&Yes"};
const TextPair kNo = {"&Nein", "&No"};
const TextPair kCancel = {"Abbrechen", "Cancel"};

QMessageBox::Icon IconOf(MsgKind kind) {
    switch (kind) {
        case MsgKind::Error:
            return QMessageBox::Critical;
        case MsgKind::Warning:
            return QMessageBox::Warning;
        case MsgKind::Confirmation:
            return QMessageBox::Question;
        case MsgKind::Information:
            break;
    }
    return QMessageBox::Information;
}

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace

QString QtDialogs::FileFilter(const std::string& filter) {
    const QStringList parts = Utf8(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString& pattern = parts[i + 1];
        if (description.contains(QLatin1Char('(') + pattern + QLatin1Char(')'))) {
            filters << description;
        } else {
            filters << description + QStringLiteral(" (") + pattern + QLatin1Char(')');
        }
    }
    return filters.join(QStringLiteral(";;"));
}

MsgAnswer QtDialogs::MessageBox(MsgKind kind, const std::string& caption, const std::string& text,
                                MsgButtons buttons) {
    return MessageBoxWithMore(kind, caption, text, buttons, std::string(), {});
}

MsgAnswer QtDialogs::MessageBoxWithMore(MsgKind kind, const std::string& caption,
                                        const std::string& text, MsgButtons buttons,
                                        const std::string& moreButton,
                                        const std::function<void()>& more) {
    return Ask({kind, caption, text, buttons, moreButton, more, nullptr, nullptr});
}

MsgAnswer QtDialogs::MessageBoxWithCheck(MsgKind kind, const std::string& caption,
                                         const std::string& text, MsgButtons buttons,
                                         const std::string& checkText, bool& checked) {
    return Ask({kind, caption, text, buttons, std::string(), {}, &checkText, &checked});
}

MsgAnswer QtDialogs::Ask(const TBox& request) {
    const Language lang = language_ ? language_() : Language::English;
    QMessageBox box(IconOf(request.Kind), Utf8(request.Caption),
                    Utf8(request.Text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                    QMessageBox::NoButton, parent_);
    const MsgButtons buttons = request.Buttons;
    const std::function<void()>& more = request.More;
    if (request.CheckText != nullptr)
        box.setCheckBox(new QCheckBox(Utf8(*request.CheckText)));
    if (buttons == MsgButtons::Ok) {
        box.addButton(QMessageBox::Ok);
        box.exec();
        return MsgAnswer::Ok;
    }
    QPushButton* yes = box.addButton(QString::fromUtf8(kYes.Pick(lang)), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QString::fromUtf8(kNo.Pick(lang)), QMessageBox::NoRole);
    QPushButton* cancel = nullptr;
    if (buttons == MsgButtons::YesNoCancel) {
        cancel = box.addButton(QString::fromUtf8(kCancel.Pick(lang)), QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
    } else {
        box.setEscapeButton(no);
    }
    QPushButton* look =
        more ? box.addButton(Utf8(request.MoreButton), QMessageBox::ActionRole) : nullptr;
    box.setDefaultButton(yes);
    // Every button closes a message box; the look button opens it again once the look is over.
    box.exec();
    while (look != nullptr && box.clickedButton() == look) {
        more();
        box.exec();
    }
    if (request.Checked != nullptr)
        *request.Checked = box.checkBox()->isChecked();
    if (box.clickedButton() == yes)
        return MsgAnswer::Yes;
    if (box.clickedButton() == no)
        return MsgAnswer::No;
    return cancel ? MsgAnswer::Cancel : MsgAnswer::No;
}

std::optional<std::string> QtDialogs::OpenFileDialog(const FileDialogRequest& request) {
    const QString path = QFileDialog::getOpenFileName(
        parent_, Utf8(request.Title), Utf8(request.InitialDirectory), FileFilter(request.Filter));
    if (path.isEmpty())
        return std::nullopt;
    return Utf8(QDir::toNativeSeparators(path));
}

std::optional<std::string> QtDialogs::SaveFileDialog(const FileDialogRequest& request) {
    QString start = Utf8(request.InitialDirectory);
    if (!request.ProposedName.empty())
        start = QDir(start).filePath(QFileInfo(Utf8(request.ProposedName)).fileName());
    // The program asks itself before overwriting, in its own words.
    const QString path = QFileDialog::getSaveFileName(parent_, Utf8(request.Title), start,
                                                      FileFilter(request.Filter), nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return std::nullopt;
    return Utf8(QDir::toNativeSeparators(path));
}

std::optional<std::size_t> QtDialogs::ChooseFromList(const ListDialogRequest& request) {
    TListChoiceDialog dialog(request, language_ ? language_() : Language::English, parent_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Chosen();
}

void QtDialogs::Wait(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace zv::gui
