#include "editors/type_config_base.h"

#include "data/flag_bits.h"
#include "history/step_names.h"
#include "pages/page_host.h"

namespace zv {

namespace {}

void TTypeConfigBase::ToggleBit(int bit, bool on) {
    if (on)
        TZVDataClass::SetFlag(working_, bit);
    else
        TZVDataClass::ClearFlag(working_, bit);
}

void TTypeConfigBase::StartWorkingCopy() {
    working_ = host_.Data().DeviceData.FlagsWord();
    lamps_.AsLambda = TZVDataClass::TestFlag(working_, flag::LampAsSelect);
    lamps_.AsRevLim = !lamps_.AsLambda;
}

void TTypeConfigBase::LampTexts(Language lang) {
    const bool g = lang == Language::German;
    lamps_.Group = g ? " Auswahl der Lampenfunktion " : " Lamp function selection ";
    lamps_.RevLimText = g ? " Schaltdrehzahlanzeige" : " as Shift Lights";
    lamps_.LambdaText = g ? " Lambdaanzeige" : " as O2 mixture indicators";
}

void TTypeConfigBase::LampAsRevLimCheckBoxClick(bool checked) {
    if (!initialised_)
        return;
    ToggleBit(flag::LampAsSelect, !checked);
    lamps_.AsRevLim = checked;
    lamps_.AsLambda = !checked;
}

void TTypeConfigBase::LampAsLambdaCheckBoxClick(bool checked) {
    if (!initialised_)
        return;
    ToggleBit(flag::LampAsSelect, checked);
    lamps_.AsLambda = checked;
    lamps_.AsRevLim = !checked;
}

// The displays read the inputs by their functions; these follow the flags word stored, which
// the older dialog edits by its bits alone.
bool TTypeConfigBase::OkButtonClick() {
    if (working_ == host_.Data().DeviceData.FlagsWord())
        return true;
    {
        TEditStep step(host_.History(), NameStep(stepname::InputConfiguration));
        WriteMainBytes(host_, img::FlagsWord, WordBytes(working_));
    }
    host_.FlagsToInputSelections(working_);
    if (Accepted)
        Accepted();
    return true;
}

// The lists changed the input functions at once; without OK the data set's flags word names
// them again.
void TTypeConfigBase::CancelButtonClick() {
    host_.FlagsToInputSelections(host_.Data().DeviceData.FlagsWord());
}

}  // namespace zv
