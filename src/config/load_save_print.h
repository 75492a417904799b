#pragma once

#include "config_record.h"

#include <string>

// Configuration files: six sections, nine keys.
class LoadSavePrint {
public:
    virtual ~LoadSavePrint() = default;

    // Writes the record's six sections into the file, keeping its other sections. Does nothing
    // for an empty name. False when the file could not be written (the old file is then whole).
    static bool Save(const std::string& fileName, const ConfigRecord& record = TheConfigRecord());
    // Reads the file's six sections into the record; missing keys keep their members.
    static void Load(const std::string& fileName, ConfigRecord& record = TheConfigRecord());
};
