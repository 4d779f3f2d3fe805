// Which bytes of which data set each transfer moves, by firmware.
#include <algorithm>

#include "link/link_fixture.h"
#include "link/transfer_table.h"

namespace zv::test {
namespace {

TEST(TransferTable, FuelMapAddressAndRecordLayoutByFirmware) {
    EXPECT_EQ(FuelMapAddress(0), 0x300);
    EXPECT_EQ(FuelMapAddress(8), 0x300);
    EXPECT_EQ(FuelMapAddress(9), 0x100);
    EXPECT_EQ(FuelMapAddress(40), 0x100);
    EXPECT_EQ(LiveRecordLength(8), 11);
    EXPECT_EQ(LiveRecordLength(9), 18);
    EXPECT_EQ(LiveRecordLength(23), 18);
    EXPECT_EQ(LiveRecordLength(24), 24);
    EXPECT_EQ(LiveRecordLength(36), 24);
    EXPECT_EQ(LiveRecordLength(37), 28);
    TLiveRecords records;
    EXPECT_EQ(LiveRecordBuffer(records, 20).data(), records.Live18.data());
    EXPECT_EQ(LiveRecordBuffer(records, 40).size(), 28u);
}

TEST(TransferTable, TransfersRunOnlyFromTheirFirmware) {
    TZVDataClass data;
    auto applies = [&](TTransfer t, int receiveFw, int deviceFw) {
        data.ReceiveData.Firmware = static_cast<std::uint8_t>(receiveFw);
        data.DeviceData.Firmware = static_cast<std::uint8_t>(deviceFw);
        return TransferApplies(data, t);
    };
    EXPECT_FALSE(applies(TTransfer::DeviceDataUpload, 3, 40));
    EXPECT_TRUE(applies(TTransfer::DeviceDataUpload, 4, 0));
    EXPECT_FALSE(applies(TTransfer::AfrMapUpload, 25, 40));
    EXPECT_TRUE(applies(TTransfer::AfrMapUpload, 26, 0));
    // A unit at 26 has its AFR map read but never written.
    EXPECT_FALSE(applies(TTransfer::AfrMapDownload, 40, 26));
    EXPECT_TRUE(applies(TTransfer::AfrMapDownload, 0, 27));
    EXPECT_TRUE(applies(TTransfer::FuelMapUpload, 0, 0));

    const auto curve = TransferInfo(TTransfer::TempCurveDownload, 30);
    EXPECT_EQ(curve.Job, job::Write16);
    EXPECT_EQ(curve.Address, 176);
    EXPECT_STREQ(curve.StatusText, "Temp Download");
    EXPECT_EQ(TransferInfo(TTransfer::FuelMapDownload, 30).ProgressMax, 255);
    EXPECT_EQ(TransferInfo(TTransfer::FuelMapUpload, 30).ProgressMax, 15);
    EXPECT_EQ(TransferInfo(TTransfer::FotoCurveDownload, 30).ProgressMax, 16);
}

class TransferTest : public LinkTest, public ::testing::WithParamInterface<int> {
  protected:
    TransferTest() : LinkTest(GetParam()) {}

    bool Run(TTransfer t) {
        if (!StartTransfer(*Link, Data, t))
            return false;
        RunJob();
        return Link->JobResult() == jobresult::Done;
    }
};

TEST_P(TransferTest, UploadsLandInTheReceiveImageAtTheirOffsets) {
    const int fw = GetParam();
    for (std::size_t i = 0; i < Unit.Area2.size(); ++i)
        Unit.Area2[i] = static_cast<std::uint8_t>(i % 251);
    for (std::size_t i = 0; i < Unit.Area1.size(); ++i)
        Unit.Area1[i] = static_cast<std::uint8_t>(i % 239);
    Data.ReceiveData.Image.fill(0xEE);
    EXPECT_EQ(Run(TTransfer::DeviceDataUpload), fw >= 4);
    ASSERT_TRUE(Run(TTransfer::FuelMapUpload));
    EXPECT_EQ(Run(TTransfer::AfrMapUpload), fw >= 26);

    const auto& img = Data.ReceiveData.Image;
    const std::uint16_t map = FuelMapAddress(fw);
    EXPECT_TRUE(std::equal(img.begin() + 768, img.begin() + 1024, Unit.Area2.begin() + map));
    if (fw >= 4) {
        EXPECT_TRUE(std::equal(img.begin(), img.begin() + 256, Unit.Area2.begin()));
    } else {
        EXPECT_EQ(img[0], 0xEE);
    }
    if (fw >= 26) {
        EXPECT_TRUE(std::equal(img.begin() + 1792 + 512, img.begin() + 1792 + 768,
                               Unit.Area1.begin() + 512));
    } else {
        EXPECT_EQ(img[1792 + 512], 0xEE);
    }
    EXPECT_EQ(img[300], 0xEE);  // nothing outside the transfers moved
}

TEST_P(TransferTest, DownloadsWriteTheWorkingImage) {
    const int fw = GetParam();
    for (std::size_t i = 0; i < kImageSize; ++i)
        Data.DeviceData.Image[i] = static_cast<std::uint8_t>(i * 3 % 256);
    ASSERT_TRUE(Run(TTransfer::FuelMapDownload));
    ASSERT_TRUE(Run(TTransfer::RpmSitesDownload));
    EXPECT_EQ(Run(TTransfer::AfrMapDownload), fw >= 27);
    const auto& img = Data.DeviceData.Image;
    EXPECT_TRUE(
        std::equal(img.begin() + 768, img.begin() + 1024, Unit.Area2.begin() + FuelMapAddress(fw)));
    EXPECT_TRUE(std::equal(img.begin() + 240, img.begin() + 256, Unit.Area2.begin() + 240));
    EXPECT_EQ(
        std::equal(img.begin() + 1792 + 512, img.begin() + 1792 + 768, Unit.Area1.begin() + 512),
        fw >= 27);
}

TEST_P(TransferTest, IdentificationAndLiveStreamUseTheirPlaces) {
    const int fw = GetParam();
    Unit.IdentText = std::string(176, 'Z');
    ASSERT_TRUE(Run(TTransfer::Identification));
    EXPECT_EQ(Data.ReceiveData.Ident.Text, Unit.IdentText);

    Unit.LiveLength = LiveRecordLength(fw);
    ASSERT_TRUE(StartTransfer(*Link, Data, TTransfer::LiveStream));
    EXPECT_EQ(Link->Length(), LiveRecordLength(fw));
    ASSERT_TRUE(Clock.RunUntil([&] { return Link->NewRecord(); }, 2000));
    const auto record = LiveRecordBuffer(Data.LiveRecords, fw);
    EXPECT_EQ(record[record.size() - 1], record.size() - 1);
}

INSTANTIATE_TEST_SUITE_P(Firmware, TransferTest,
                         ::testing::Values(3, 4, 6, 7, 8, 9, 25, 26, 27, 37, 40));

class PortTest : public LinkTest {};

TEST_F(PortTest, PortByText) {
    EXPECT_TRUE(Link->SetComPortByString("COM12", kBaud9600Index));
    EXPECT_EQ(Line.Port(), 12);
    EXPECT_TRUE(Line.IsOpen());
    EXPECT_TRUE(Link->SetComPortByString("COM3", kBaud9600Index));
    EXPECT_EQ(Line.Port(), 3);
    // A port that does not exist leaves the selection; the reopened port is the old one.
    EXPECT_TRUE(Link->SetComPortByString("COM7", kBaud9600Index));
    EXPECT_EQ(Line.Port(), 3);
    EXPECT_TRUE(Line.IsOpen());
    for (const char* text : {"COM", "COM123", "COMx1", "", "COM-1"}) {
        Link->SetComPortByString("COM3", kBaud9600Index);
        Link->SetComPortByString(text, kBaud9600Index);
        EXPECT_EQ(Line.Port(), 0) << text;
        EXPECT_FALSE(Line.IsOpen()) << text;
    }
}

TEST_F(PortTest, ClosedPortLooksLikeASilentUnit) {
    Link->SetComPort(0, kBaud9600Index);
    Link->SetJob(job::Ping);
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::TimedOut);
    EXPECT_TRUE(Unit.Received.empty());
    Link->Init(1, kBaud9600Index);
    Link->SetJob(job::Ping);
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
}

}  // namespace
}  // namespace zv::test
