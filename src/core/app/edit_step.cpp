// The edit step of every editor and switch, and undo and redo through the same path.
#include <algorithm>
#include <optional>

#include "app/main_model.h"
#include "history/restored_write.h"
#include "link/write_queue.h"
#include "online/online_mode.h"
#include "sensors/wideband_sensor.h"

namespace zv {

namespace {

std::optional<std::uint8_t> WriteKindOf(std::size_t count) {
    switch (count) {
        case 1:
            return wkind::OneByte;
        case 2:
            return wkind::TwoBytes;
        case 16:
            return wkind::SixteenBytes;
        default:
            return std::nullopt;
    }
}

}  // namespace

bool TMainModel::RunOnline() const {
    return online_ && online_->LinkState() == link::RunOnline;
}

bool TMainModel::WriteImage(const TImageWrite& write, std::span<const std::uint8_t> bytes) {
    if (!WriteKindOf(bytes.size()) || write.Offset + bytes.size() > data_.DeviceData.Image.size())
        return false;
    const auto target = std::span(data_.DeviceData.Image).subspan(write.Offset, bytes.size());
    if (std::equal(bytes.begin(), bytes.end(), target.begin()))
        return false;
    history_.Record(write, target, bytes, data_.DeviceData.Firmware);
    StoreAndSend(write, bytes);
    return true;
}

void TMainModel::StoreAndSend(const TImageWrite& write, std::span<const std::uint8_t> bytes) {
    auto target = data_.DeviceData.Image.begin() + static_cast<std::ptrdiff_t>(write.Offset);
    std::copy(bytes.begin(), bytes.end(), target);
    if (write.RefreshFields)
        data_.ImageToFields();
    modified_ = true;
    if (!write.ToUnit)
        return;
    if (RunOnline()) {
        online_->Link().QueueWrite(write.Area, &*target, *WriteKindOf(bytes.size()), write.Address);
        if (write.Pause)
            online_->StartPauseTimer();
    } else {
        data_.DeviceData.ChangedOffline = 1;
    }
}

// The writes go back last first, so that bytes a step wrote twice end as they were before it.
// Each is restored against the image as it is by then, which may have been encoded for another
// unit since the step was made.
bool TMainModel::Undo() {
    const THistoryStep* step = history_.TakeUndo();
    if (!step)
        return false;
    for (auto write = step->Writes.rbegin(); write != step->Writes.rend(); ++write)
        Restore(*write, THistoryEvent::Undone);
    FollowRestoredImage();
    return true;
}

bool TMainModel::Redo() {
    const THistoryStep* step = history_.TakeRedo();
    if (!step)
        return false;
    for (const TRecordedWrite& write : step->Writes)
        Restore(write, THistoryEvent::Redone);
    FollowRestoredImage();
    return true;
}

void TMainModel::Restore(const TRecordedWrite& write, THistoryEvent event) {
    const TRestoredWrite restored = RestoredWrite(write, event, data_.DeviceData);
    StoreAndSend(restored.Where, restored.Bytes);
}

// What the program reads from the image besides the edit fields: the inputs' functions from
// the flags word and the wideband readouts' scale from the sensor the data set names.
void TMainModel::FollowRestoredImage() {
    FlagsToInputSelections(data_.DeviceData.FlagsWord());
    ApplySensorScale(data_);
}

}  // namespace zv
