#include "pages/intro_page.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace zv::gui {

namespace {

struct TKeyRow {
    TextPair Key;
    TextPair Meaning;
};

const TextPair kTitle = {"Willkommen bei Zevrin plus Control", "Welcome to Zevrin plus Control"};
const TextPair kPurpose = {
    "Mit diesem Programm stimmen Sie das Zevrin plus Steuergerät ab und beobachten den laufenden "
    "Motor: Kennfeld, Stützstellen, Korrekturkurven, Schaltlampen, Parameter, Eingänge und "
    "Lambdaregelung; dazu Live-Werte des Motors und Datenlogs.",
    "This program tunes the Zevrin plus engine control unit and watches the running engine: fuel "
    "map, sites, correction curves, shift lamps, parameters, inputs and lambda control, with the "
    "engine's live values and data logs."};
const TextPair kConnectTitle = {"Verbinden", "Connecting"};
const TextPair kConnect = {
    "Verbinden Sie das Steuergerät mit einer seriellen Schnittstelle des PCs und wählen Sie sie "
    "unter <i>Einstellungen › Schnittstelle</i>. Mit gewählter Schnittstelle geht das Programm "
    "beim Start von selbst online; <b>F5</b> schaltet online und offline. Die Schnittstelle "
    "<i>Simulierte Einheit</i> ist ein im Programm eingebautes Steuergerät: damit lässt sich alles "
    "ohne Motor ausprobieren.",
    "Connect the unit to a serial port of this PC and pick the port under <i>Settings › Com "
    "Port</i>. With a port chosen, the program goes online by itself when it starts; <b>F5</b> "
    "goes online and offline. The port <i>Simulated unit</i> is a unit built into the program: "
    "with it you can try everything without an engine."};
const TextPair kDataTitle = {"Daten", "Data"};
const TextPair kData = {
    "Öffnen Sie eine Datendatei (.zvt) oder lesen Sie die Daten des Steuergeräts mit <b>F7</b>; "
    "<b>F8</b> schreibt sie ins Steuergerät. Online geht jede Änderung sofort ins Steuergerät.",
    "Open a data file (.zvt) or read the unit's data with <b>F7</b>; <b>F8</b> writes them into "
    "the "
    "unit. While online, every change goes into the unit at once."};
const TextPair kKeysTitle = {"Tasten", "Keys"};
const TKeyRow kKeys[] = {
    {{"F1", "F1"}, {"Tastenübersicht der Seite", "The page's keys"}},
    {{"F5", "F5"}, {"Online / offline", "Online / offline"}},
    {{"F7", "F7"}, {"Daten vom Steuergerät lesen", "Read the unit's data (upload)"}},
    {{"F8", "F8"}, {"Daten ins Steuergerät schreiben", "Write the data into the unit (download)"}},
    {{"F9", "F9"}, {"Leerlaufsteller ein / aus", "Idle control on / off"}},
    {{"F10", "F10"}, {"Lambdaregelung ein / aus", "Narrowband lambda control on / off"}},
    {{"F11", "F11"}, {"Breitband-Lambdaregelung ein / aus", "Wideband lambda control on / off"}},
    {{"Esc", "Esc"}, {"Seitenauswahl", "Page selection"}},
    {{"↑ ↓ + −", "↑ ↓ + −"}, {"Gewählten Wert ändern", "Change the selected value"}},
    {{"Bild ↑ / Bild ↓", "Page Up / Page Down"}, {"Größere Schritte", "Larger steps"}},
    {{"Tab", "Tab"}, {"Nächster Wert", "Next value"}},
};
const TextPair kStepKeys = {
    "Zwei eigene Tasten für kleine Schritte legen Sie unter <i>Einstellungen › Tasten "
    "Konfiguration</i> "
    "fest; sie stehen unten links.",
    "Two keys of your own for small steps are set under <i>Settings › Key configuration</i>; they "
    "are shown at the bottom left."};

QString Html(Language lang) {
    auto t = [lang](const TextPair& pair) { return QString::fromUtf8(pair.Pick(lang)); };
    QString html =
        QStringLiteral("<h2>%1</h2><p>%2</p><h3>%3</h3><p>%4</p><h3>%5</h3><p>%6</p><h3>%7</h3>")
            .arg(t(kTitle), t(kPurpose), t(kConnectTitle), t(kConnect), t(kDataTitle), t(kData),
                 t(kKeysTitle));
    html += QStringLiteral("<table cellspacing='0' cellpadding='4'>");
    for (const TKeyRow& row : kKeys) {
        html += QStringLiteral("<tr><td><b>%1</b>&nbsp;&nbsp;</td><td>%2</td></tr>")
                    .arg(t(row.Key), t(row.Meaning));
    }
    html += QStringLiteral("</table><p>%1</p>").arg(t(kStepKeys));
    return html;
}

}  // namespace

TIntroPage::TIntroPage(QWidget* parent) : QWidget(parent), text_(new QLabel) {
    text_->setWordWrap(true);
    text_->setTextFormat(Qt::RichText);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text_->setMaximumWidth(text_->fontMetrics().averageCharWidth() * 90);
    text_->setContentsMargins(24, 12, 24, 12);

    auto* holder = new QWidget;
    auto* holderLayout = new QVBoxLayout(holder);
    holderLayout->addWidget(text_);
    holderLayout->addStretch(1);
    auto* scroll = new QScrollArea;
    scroll->setWidget(holder);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    SetLanguage(Language::English);
}

void TIntroPage::SetLanguage(Language lang) {
    text_->setText(Html(lang));
}

}  // namespace zv::gui
