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

// Undo and redo gather the writes of their step, as the operation that made it did.
class TRestoring {
  public:
    explicit TRestoring(int& depth) : depth_(depth) { ++depth_; }
    ~TRestoring() { --depth_; }
    TRestoring(const TRestoring&) = delete;
    TRestoring& operator=(const TRestoring&) = delete;

  private:
    int& depth_;
};

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
    if (!RunOnline()) {
        data_.DeviceData.ChangedOffline = 1;
        return;
    }
    if (history_.StepOpen() || restoring_ > 0) {
        sendBatch_.Add(write.Offset, write.Area, write.Address, bytes.size());
        sendBatchPause_ = sendBatchPause_ || write.Pause;
        return;
    }
    online_->Link().QueueWrite(write.Area, &*target, *WriteKindOf(bytes.size()), write.Address);
    if (write.Pause)
        online_->StartPauseTimer();
}

void TMainModel::SendBatch() {
    if (sendBatch_.Empty())
        return;
    const std::vector<TBatchWrite> plan = sendBatch_.Plan(data_.DeviceData.Firmware);
    const bool pause = sendBatchPause_;
    sendBatch_.Clear();
    sendBatchPause_ = false;
    // A question inside the operation may have let the link leave run-online meanwhile.
    if (!RunOnline()) {
        data_.DeviceData.ChangedOffline = 1;
        return;
    }
    QueueBatch(online_->Link(), plan, data_.DeviceData.Image);
    if (pause)
        online_->StartPauseTimer();
}

// The writes go back last first, so that bytes a step wrote twice end as they were before it.
// Each is restored against the image as it is by then, which may have been encoded for another
// unit since the step was made.
bool TMainModel::Undo() {
    const THistoryStep* step = history_.TakeUndo();
    if (!step)
        return false;
    {
        TRestoring restoring(restoring_);
        for (auto write = step->Writes.rbegin(); write != step->Writes.rend(); ++write)
            Restore(*write, THistoryEvent::Undone);
    }
    SendBatch();
    FollowRestoredImage();
    return true;
}

bool TMainModel::Redo() {
    const THistoryStep* step = history_.TakeRedo();
    if (!step)
        return false;
    {
        TRestoring restoring(restoring_);
        for (const TRecordedWrite& write : step->Writes)
            Restore(write, THistoryEvent::Redone);
    }
    SendBatch();
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
