#include "config_record.h"

ConfigRecord& TheConfigRecord()
{
    static ConfigRecord record;
    return record;
}
