// The Win32 peer of one form: its top-level window and a child window per
// control. Controls are all made children of the form's window, placed at
// their position summed over their parents (a group box is drawn as a
// frame behind the controls it holds). Window messages come back to the
// model: clicks, selections, Enter and Escape, the close box, and the
// owner-draw messages of combo boxes, which are handed to the control.
#pragma once

#include <string>
#include <vector>

#include "toolkit/Controls.h"
#include "toolkit/win32/Handles.h"
#include "toolkit/win32/Win32.h"

namespace toolkit::win32 {

class FormWindow {
public:
    // Makes the windows; `owner` is the hidden application window.
    FormWindow(Form& form, HWND owner);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND Window() const { return window_; }
    Form& Model() const { return form_; }

    // Shows the window at its place and gives the first control the focus.
    void Show();
    void Hide();
    // Brings a window to the model's state after a change.
    void Update(Control& control);

    // The peer of a form window of this class; nullptr for other windows.
    static FormWindow* FromWindow(HWND window);

private:
    struct Child {
        Control* control;
        int id;
        HWND window;
        std::vector<std::string> items;  // what the list window holds
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);
    LRESULT OnControlColor(HDC dc, HWND control);
    bool OnMeasureItem(MEASUREITEMSTRUCT& measure);
    bool OnDrawItem(const DRAWITEMSTRUCT& draw);
    void OnActivate(bool active);

    void CreateChildren(Control& parent, int originX, int originY);
    void CreateChild(Control& control, int x, int y);
    void SyncItems(Child& child);
    void Place(const Child& child);
    void FitLabel(const Child& child);
    void Invalidate(const Child& child);
    POINT Origin(const Control& control) const;
    SIZE WindowSize() const;
    Child* ById(int id);
    Child* ByControl(const Control* control);
    Button* DefaultButton();
    void FocusFirst();

    Form& form_;
    HWND window_ = nullptr;  // destroyed with this peer
    UniqueFont font_;
    UniqueBrush ownBrush_;  // only for a colour that is not a system colour
    HBRUSH background_ = nullptr;
    DWORD style_ = 0, exStyle_ = 0;
    std::vector<Child> children_;  // in creation order, which is tab order
    HWND lastFocus_ = nullptr;
    int nextId_ = 100;  // clear of IDOK and IDCANCEL, which stand for Enter and Escape
};

}  // namespace toolkit::win32
