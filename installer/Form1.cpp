#include <exception>

#include "common/SystemHelpers.h"
#include "installer/Form1Description.h"
#include "installer/TableFileWriter.h"
#include "installer/uSDR134.h"
#include "platform/Exception.h"
#include "platform/Platform.h"
#include "startup/StartupValues.h"
#include "toolkit/Application.h"

TForm1::TForm1() : toolkit::Form(kForm1Description.name) {
    const FormDescription& d = kForm1Description;
    SetBounds(d.left, d.top, Width(), Height());
    borderStyle = d.borderStyle;
    borderIcons = d.borderIcons;
    position = d.position;
    SetCaption(d.caption);
    SetClientSize(d.clientWidth, d.clientHeight);
    color = d.color;
    font = toolkit::Font{d.fontName, d.fontHeight, d.fontColor};

    Label1 = Add<toolkit::Label>(this, d.label1.name);
    Label1->SetBounds(d.label1.left, d.label1.top, d.label1.width, d.label1.height);
    Label1->autoSize = d.label1.autoSize;
    Label1->transparent = d.label1.transparent;
    Label1->wordWrap = d.label1.wordWrap;
    Label1->SetCaption(d.label1.caption);

    Timer1 = AddTimer(d.timer1.name);
    Timer1->SetInterval(d.timer1.interval);
    Timer1->SetEnabled(d.timer1.enabled);
    Timer1->OnTimer = [this] { Timer1Timer(); };

    OnCreate = [this] { FormCreate(); };
    OnShow = [this] { FormShow(); };
}

void TForm1::FormCreate() {
    SetClientSize(Label1->Left() + Label1->Width() + 8, Label1->Top() + Label1->Height() + 8);
    SetCaption(toolkit::app().Title());
}

void TForm1::FormShow() { Timer1->SetEnabled(true); }

void TForm1::Timer1Timer() {
    Timer1->SetEnabled(false);
    try {
        for (const char* name : FeeTableFiles) ExtractTableFile(name);
    } catch (...) {
        // The files after the failing one are not written. Once the user has
        // been told, the program ends as it always does, lock released.
        toolkit::app().HandleException(std::current_exception());
        Close();
        return;
    }
    Label1->SetCaption("");
    toolkit::app().ProcessMessages();
    platform::system().sleep(1000);
    Close();
}

void TForm1::ExtractTableFile(const std::string& name) {
    Label1->SetCaption("Extracting " + name + "...");
    toolkit::app().ProcessMessages();
    const std::string target = DataRoot + "Data\\" + name;
    // A present file is never replaced or checked, whatever its size.
    if (FileExists(target)) return;
    const auto bytes = platform::system().moduleResource(name);
    if (!bytes) throw Exception("Resource " + name + " not found");
    WriteNewFile(target, *bytes);
}
