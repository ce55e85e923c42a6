// The form description of the installer window Form1: every designed
// property of the form and of its two components, in one place. TForm1 is
// built from it; FormCreate then sizes and captions the window.
#pragma once

#include <cstdint>

#include "toolkit/Controls.h"

struct LabelDescription {
    const char* name;
    int left, top, width, height;
    bool autoSize;
    bool transparent;
    bool wordWrap;
    const char* caption;
};

struct TimerDescription {
    const char* name;
    bool enabled;
    std::uint32_t interval;  // milliseconds
};

struct FormDescription {
    const char* name;
    // Stored position; a form centred on the screen does not use it.
    int left, top;
    toolkit::BorderStyle borderStyle;
    toolkit::BorderIcons borderIcons;
    toolkit::Position position;
    const char* caption;
    int clientWidth, clientHeight;
    std::uint32_t color;
    const char* fontName;
    int fontHeight;
    std::uint32_t fontColor;
    int pixelsPerInch;
    LabelDescription label1;
    TimerDescription timer1;
};

inline const FormDescription kForm1Description = {
    "Form1",
    84, 119,
    toolkit::BorderStyle::Dialog,
    toolkit::BorderIcons{false, false, false},
    toolkit::Position::ScreenCenter,
    " Statement of Dental Remuneration",
    678, 199,
    toolkit::color::kBtnFace,
    "MS Sans Serif", -11, toolkit::color::kWindowText,
    96,
    {"Label1", 4, 4, 493, 21, false, true, true, ""},
    {"Timer1", false, 1000},
};
