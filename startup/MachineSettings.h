// The machine settings phases' own operation that other code may call.
#pragma once

class IniFile;

// With two or more named drives in [Databases] of the machine settings,
// lets the user pick one and writes its drive to [ProductName] WD. Fewer
// entries leave everything as it is.
void SelectDatabase(IniFile& settings);
