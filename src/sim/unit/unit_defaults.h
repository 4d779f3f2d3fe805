#pragma once

#include "data/zv_data_class.h"

namespace zv::sim {

// The device type a unit of that firmware generation reports (1..4).
int DeviceTypeForFirmware(int firmware);

// A new data set's defaults as a unit of the firmware holds them (timing word encoded for it):
// what a simulated unit starts with when no data set is given.
zv::ImageBytes NewDataSetImage(int firmware);

}  // namespace zv::sim
