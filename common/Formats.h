// The process's date, time and number formats. They are read from the
// user's locale once at process start and then changed only by the start-up,
// which fixes the date and decimal separators; later changes of the system's
// regional settings are not followed.
#pragma once

#include <string>

struct ProcessFormats {
    char dateSeparator = '/';
    char timeSeparator = ':';
    char decimalSeparator = '.';
    // The locale's long time picture (LOCALE_STIMEFORMAT), e.g. "HH:mm:ss".
    std::string longTimeFormat = "HH:mm:ss";
    std::string amDesignator = "AM";
    std::string pmDesignator = "PM";
};

// The process-wide formats.
ProcessFormats& Formats();

// Takes the separators and the long time picture from the user's locale;
// a value the locale does not give keeps its built-in default.
void ReadUserFormats();

// The start-up's fixed formats: dates DD/MM/YYYY with "/", decimal ".".
void FixStartupFormats();

// Back to the built-in defaults (for tests).
void ResetFormats();
