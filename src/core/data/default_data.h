#pragma once

#include "data/zv_data_class.h"

namespace zv {

// The values a new data set starts with, and the rows a data file may lack.
ByteRow DefaultMapRow(int t);
ByteRow DefaultAfrRow(int t);
ByteRow DefaultLinRow(int row);

// AFR target number as the map stores it: trunc((afr + 0.02) x 10) - 105, modulo 256.
std::uint8_t AfrByteFromNumber(double afr);

// Map, AFR map, parameters and linearisation rows set to their defaults.
void ApplyDefaultFields(TZVDataClass& data);

}  // namespace zv
