// The shared runtime services: the product variant and install locations,
// the process-start initialisation, the start-up and event logs, message
// boxes, version information, system helpers, settings files, program
// launching and the text cipher.
#pragma once

#include "common/Cipher.h"
#include "common/DataLock.h"
#include "common/Dates.h"
#include "common/EventLog.h"
#include "common/Formats.h"
#include "common/IniFile.h"
#include "common/Launch.h"
#include "common/Messages.h"
#include "common/ProcessStart.h"
#include "common/StartupLog.h"
#include "common/SystemHelpers.h"
#include "common/Text.h"
#include "common/Variant.h"
#include "common/Version.h"
