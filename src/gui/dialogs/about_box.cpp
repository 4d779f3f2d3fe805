#include "dialogs/about_box.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include "dialogs/jpeg_image.h"

#ifndef ZV_VERSION
#error "ZV_VERSION must name the project version"
#endif

namespace zv::gui {

namespace {

constexpr const char* kProgramName = "Zevrin plus Control";
constexpr const char* kMaker = "Brenvik-dudizedode";
const TextPair kAbout = {"Über", "About"};
const TextPair kVersion = {"Version", "Version"};
const TextPair kReleased = {"Stand", "Released"};
const TextPair kPurpose = {
    "Abstimmung und Überwachung des Motorsteuergeräts Zevrin plus\n"
    "über die serielle Schnittstelle.",
    "Tuning and monitoring of the Zevrin plus engine control unit\n"
    "over its serial link."};

QLabel* TextLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

QString AboutBox::DefaultPicturePath() {
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath("../share/zvcontrol/about.jpg");
}

AboutBox::AboutBox(Language lang, const QString& picturePath, QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle(QString("%1 %2").arg(QString::fromUtf8(kAbout.Pick(lang)), kProgramName));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setSpacing(12);
    auto* body = new QHBoxLayout;
    body->setSpacing(12);
    layout->addLayout(body);

    const QImage picture = LoadJpegFile(picturePath);
    hasPicture_ = !picture.isNull();
    if (hasPicture_) {
        auto* pictureLabel = new QLabel(this);
        pictureLabel->setObjectName("Picture");
        pictureLabel->setPixmap(QPixmap::fromImage(picture));
        body->addWidget(pictureLabel, 0, Qt::AlignTop);
    }

    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    auto* name = TextLabel(kProgramName, this);
    QFont nameFont = name->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.6);
    nameFont.setBold(true);
    name->setFont(nameFont);
    texts->addWidget(name);
    texts->addWidget(
        TextLabel(QString("%1 %2").arg(QString::fromUtf8(kVersion.Pick(lang)), ZV_VERSION), this));
    texts->addWidget(TextLabel(QString("%1: %2").arg(QString::fromUtf8(kReleased.Pick(lang)),
                                                     QString::fromUtf8(ReleaseDate().Pick(lang))),
                               this));
    texts->addSpacing(6);
    texts->addWidget(TextLabel(QString::fromUtf8(kPurpose.Pick(lang)), this));
    texts->addSpacing(6);
    texts->addWidget(TextLabel(QString("© %1").arg(kMaker), this));
    texts->addStretch(1);
    body->addLayout(texts);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

}  // namespace zv::gui
