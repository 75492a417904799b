#pragma once

#include <array>
#include <cstdint>

// Threshold index, used by the record, the comparators page and the file's section order.
enum ThresholdIndex : int {
    Comparator1Upper = 0,
    Comparator1Lower = 1,
    Comparator2Upper = 2,
    Comparator2Lower = 3,
};

// A configuration as it goes into and comes out of a configuration file.
struct ConfigRecord {
    std::array<double, 4> threshold{};  // by ThresholdIndex, percent
    bool errorEnabled = false;
    bool errorMemory = false;
    std::int32_t cycle = 0;  // seconds; 0 for no automatic removal
    std::int32_t receiverOffset = 0;
    std::int32_t transmitterOffset = 0;
};

// The program's one record, all zero at start.
ConfigRecord& TheConfigRecord();
