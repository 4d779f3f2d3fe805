// The Edit menu: undo and redo of the data set's edit history, with the step named; copy and
// paste of the page's map or curve through the system clipboard.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "app/main_form.h"
#include "history/step_names.h"

namespace zv::gui {

namespace {

constexpr int kPasteNoteMs = 15000;

}  // namespace

void TMainForm::BuildEditMenu() {
    editMenu_ = menuBar()->addMenu(QString());
    undoAction_ =
        editMenu_->addAction(QString(), this, [this] { ShowRestoredStep(form_.EditUndoClick()); });
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction_ =
        editMenu_->addAction(QString(), this, [this] { ShowRestoredStep(form_.EditRedoClick()); });
    redoAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    editMenu_->addSeparator();
    copyAction_ = editMenu_->addAction(QString(), this, [this] {
        if (const auto text = form_.EditCopyClick())
            QGuiApplication::clipboard()->setText(QString::fromStdString(*text));
    });
    copyAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    pasteAction_ = editMenu_->addAction(QString(), this, [this] {
        ShowRestoredStep(
            form_.EditPasteClick(QGuiApplication::clipboard()->text().toStdString()));
        // Rounded values are said in the status bar for a while, without a dialog; the note
        // there before comes back after it.
        if (form_.PasteNote().empty())
            statusBar()->clearMessage();
        else
            statusBar()->showMessage(QString::fromStdString(form_.PasteNote()), kPasteNoteMs);
    });
    pasteAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    // The keys work wherever the focus is in the main window, as the menu's own entries do.
    addActions({undoAction_, redoAction_, copyAction_, pasteAction_});
    RenderEditMenu();
}

void TMainForm::RenderEditMenu() {
    if (!editMenu_)
        return;
    const Language lang = main_.CurrentLanguage();
    const TEditHistory& history = main_.History();
    editMenu_->setTitle(QString::fromUtf8(EditMenuTitle(lang)));
    undoAction_->setText(QString::fromStdString(history.UndoCaption(lang)));
    undoAction_->setEnabled(history.CanUndo());
    redoAction_->setText(QString::fromStdString(history.RedoCaption(lang)));
    redoAction_->setEnabled(history.CanRedo());
    copyAction_->setText(QString::fromUtf8(EditCopyCaption(lang)));
    pasteAction_->setText(QString::fromUtf8(EditPasteCaption(lang)));
    // Off on pages without a map or curve, where text fields keep their own Ctrl+C and Ctrl+V.
    const bool clip = form_.ClipboardEnabled();
    copyAction_->setEnabled(clip);
    pasteAction_->setEnabled(clip);
}

// A restored step may switch pages on or off (the input configuration) as an accepted
// configuration does.
void TMainForm::ShowRestoredStep(bool restored) {
    if (!restored)
        return;
    pageSelect_.SetPageMask(main_.Data().DeviceData.Firmware);
    AfterControlsRefreshed();
    Render();
}

}  // namespace zv::gui
