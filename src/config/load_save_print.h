#pragma once

#include "config_record.h"

#include <string>

// Configuration files: six sections, nine keys.
class LoadSavePrint {
public:
    virtual ~LoadSavePrint() = default;

    // Writes the record's six sections into the file, keeping its other sections. An empty name
    // asks for nothing: true, no file. False when the file could not be written (the old file
    // is then whole).
    static bool Save(const std::string& fileName, const ConfigRecord& record = TheConfigRecord());
    // Reads the file's six sections into the record; missing keys keep their members, a later
    // entry of a key wins, nothing is range-checked. An empty name or unreadable file reads
    // nothing.
    static void Load(const std::string& fileName, ConfigRecord& record = TheConfigRecord());
};
