#pragma once

// Everything a test needs besides Qt Test: the simulated device and the scoped helpers.
#include "recording_messages.h"
#include "scoped_com_mapping.h"
#include "settings_sandbox.h"
#include "sim_device.h"
