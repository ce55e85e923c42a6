#include "toolkit/win32/FormWindow.h"

#include <algorithm>

#include "platform/Exception.h"
#include "toolkit/Application.h"
#include "toolkit/win32/GdiCanvas.h"

namespace toolkit::win32 {

namespace {

constexpr char kClassName[] = "ToolkitForm";
// Items a closed drop-down list shows when it opens.
constexpr int kDropDownItems = 8;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

void RegisterFormClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSA windowClass{};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = Instance();
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        return RegisterClassA(&windowClass) != 0;
    }();
    if (!registered) throw Exception("The form window class could not be registered");
}

COLORREF ColorRef(std::uint32_t color) {
    if (color & color::kSystemFlag) return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0xFFFFFF;
}

void FrameStyle(const Form& form, DWORD& style, DWORD& exStyle) {
    style = WS_POPUP;
    exStyle = 0;
    const bool systemMenu = form.borderIcons.systemMenu;
    switch (form.borderStyle) {
    case BorderStyle::Dialog:
        // A fixed dialog frame never has minimise or maximise boxes.
        style |= WS_CAPTION;
        exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case BorderStyle::Single:
    case BorderStyle::Sizeable:
        style |= WS_CAPTION | (form.borderStyle == BorderStyle::Sizeable ? WS_THICKFRAME : WS_BORDER);
        if (systemMenu && form.borderIcons.minimize) style |= WS_MINIMIZEBOX;
        if (systemMenu && form.borderIcons.maximize) style |= WS_MAXIMIZEBOX;
        break;
    case BorderStyle::None:
        break;
    }
    if (form.HasCloseBox()) style |= WS_SYSMENU;
}

std::vector<std::string> ItemTexts(const Control& control) {
    std::vector<std::string> texts;
    if (control.Kind() == ControlKind::ListBox) return static_cast<const ListBox&>(control).Items();
    for (const auto& item : static_cast<const ComboBox&>(control).Items()) texts.push_back(item.text);
    return texts;
}

int SelectedIndex(const Control& control) {
    return control.Kind() == ControlKind::ListBox ? static_cast<const ListBox&>(control).ItemIndex()
                                                  : static_cast<const ComboBox&>(control).ItemIndex();
}

}  // namespace

FormWindow::FormWindow(Form& form, HWND owner) : form_(form) {
    RegisterFormClass(&FormWindow::Procedure);
    FrameStyle(form_, style_, exStyle_);
    font_.reset(CreateFontA(form_.font.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            form_.font.name.c_str()));
    if (form_.color & color::kSystemFlag) {
        background_ = GetSysColorBrush(static_cast<int>(form_.color & 0xFF));
    } else {
        ownBrush_.reset(CreateSolidBrush(ColorRef(form_.color)));
        background_ = ownBrush_.get();
    }

    const SIZE size = WindowSize();
    int x = form_.Left(), y = form_.Top();
    if (form_.position == Position::ScreenCenter) {
        x = (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
    }
    // WM_NCCREATE stores the peer in the window and sets window_.
    CreateWindowExA(exStyle_, kClassName, form_.Caption().c_str(), style_, x, y, size.cx, size.cy,
                    owner, nullptr, Instance(), this);
    if (window_ == nullptr)
        throw Exception("The window \"" + form_.Caption() + "\" could not be created");
    form_.SetHandle(AsId(window_));
    CreateChildren(form_, 0, 0);
}

FormWindow::~FormWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
    form_.SetHandle(0);
}

FormWindow* FormWindow::FromWindow(HWND window) {
    char name[sizeof kClassName + 1] = {};
    if (window == nullptr || GetClassNameA(window, name, sizeof name) == 0) return nullptr;
    if (lstrcmpA(name, kClassName) != 0) return nullptr;
    return reinterpret_cast<FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// --- windows of the controls -------------------------------------------------

void FormWindow::CreateChildren(Control& parent, int originX, int originY) {
    // Windowed controls in tab order, then labels: a label's window sits
    // below the controls it may overlap, as a VCL label is drawn beneath them.
    std::vector<Control*> windowed, labels;
    for (Control* child : parent.Children())
        (child->Kind() == ControlKind::Label ? labels : windowed).push_back(child);
    std::stable_sort(windowed.begin(), windowed.end(),
                     [](const Control* a, const Control* b) { return a->TabOrder() < b->TabOrder(); });
    for (Control* child : windowed) {
        CreateChild(*child, originX + child->Left(), originY + child->Top());
        CreateChildren(*child, originX + child->Left(), originY + child->Top());
    }
    for (Control* label : labels) CreateChild(*label, originX + label->Left(), originY + label->Top());
}

void FormWindow::CreateChild(Control& control, int x, int y) {
    const int id = nextId_++;
    // Known before its window exists: a combo box measures its items while
    // its window is being made.
    children_.push_back(Child{&control, id, nullptr, {}});

    const char* windowClass = "STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    int height = control.Height();
    switch (control.Kind()) {
    case ControlKind::Label:
        style |= static_cast<const Label&>(control).wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
        break;
    case ControlKind::Button:
        windowClass = "BUTTON";
        style |= WS_TABSTOP |
                 (static_cast<const Button&>(control).isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        break;
    case ControlKind::GroupBox:
        windowClass = "BUTTON";
        style |= BS_GROUPBOX;
        break;
    case ControlKind::ListBox:
        windowClass = "LISTBOX";
        style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
    case ControlKind::ComboBox:
        windowClass = "COMBOBOX";
        style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
        // The window's height includes the list it drops down.
        height += kDropDownItems * static_cast<ComboBox&>(control).ItemHeight(0) + 2;
        break;
    case ControlKind::Form:
        return;
    }
    HWND window = CreateWindowExA(exStyle, windowClass, control.Caption().c_str(), style, x, y,
                                  control.Width(), height, window_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(),
                                  nullptr);
    if (window == nullptr)
        throw Exception("The control \"" + control.Name() + "\" could not be created");
    ById(id)->window = window;
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    control.SetHandle(AsId(window));

    if (control.Kind() == ControlKind::ComboBox) static_cast<ComboBox&>(control).CreateWnd();
    if (control.Kind() == ControlKind::ListBox || control.Kind() == ControlKind::ComboBox)
        SyncItems(*ById(id));
    if (control.Kind() == ControlKind::Label) FitLabel(*ById(id));
}

void FormWindow::SyncItems(Child& child) {
    const bool list = child.control->Kind() == ControlKind::ListBox;
    std::vector<std::string> texts = ItemTexts(*child.control);
    if (texts != child.items) {
        SendMessageA(child.window, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
        for (const auto& text : texts)
            SendMessageA(child.window, list ? LB_ADDSTRING : CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(text.c_str()));
        child.items = std::move(texts);
    }
    SendMessageA(child.window, list ? LB_SETCURSEL : CB_SETCURSEL,
                 static_cast<WPARAM>(SelectedIndex(*child.control)), 0);
}

void FormWindow::FitLabel(const Child& child) {
    const auto& label = static_cast<const Label&>(*child.control);
    if (!label.autoSize) return;
    HDC dc = GetDC(child.window);
    HGDIOBJ previous = SelectObject(dc, font_.get());
    RECT area{0, 0, label.Width(), 0};
    // An empty caption still takes one line, as a label's does.
    const std::string text = label.Caption().empty() ? " " : label.Caption();
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_CALCRECT | DT_EXPANDTABS | (label.wordWrap ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, previous);
    ReleaseDC(child.window, dc);
    const int width = label.wordWrap ? label.Width() : area.right;
    SetWindowPos(child.window, nullptr, 0, 0, width, area.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::Invalidate(const Child& child) {
    // A transparent label does not paint its background: the form repaints
    // what lies beneath it before the label draws its new text.
    RECT area;
    GetWindowRect(child.window, &area);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(window_, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_ERASENOW);
}

POINT FormWindow::Origin(const Control& control) const {
    POINT origin{0, 0};
    for (const Control* each = &control; each != nullptr && each != &form_; each = each->Parent()) {
        origin.x += each->Left();
        origin.y += each->Top();
    }
    return origin;
}

void FormWindow::Place(const Child& child) {
    const POINT origin = Origin(*child.control);
    RECT current;
    GetWindowRect(child.window, &current);
    int height = child.control->Height();
    if (child.control->Kind() == ControlKind::ComboBox) height = current.bottom - current.top;
    SetWindowPos(child.window, nullptr, origin.x, origin.y, child.control->Width(), height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE FormWindow::WindowSize() const {
    RECT area{0, 0, form_.ClientWidth(), form_.ClientHeight()};
    AdjustWindowRectEx(&area, style_, FALSE, exStyle_);
    return SIZE{area.right - area.left, area.bottom - area.top};
}

FormWindow::Child* FormWindow::ById(int id) {
    for (auto& child : children_)
        if (child.id == id) return &child;
    return nullptr;
}

FormWindow::Child* FormWindow::ByControl(const Control* control) {
    for (auto& child : children_)
        if (child.control == control) return &child;
    return nullptr;
}

Button* FormWindow::DefaultButton() {
    for (const auto& child : children_)
        if (child.control->Kind() == ControlKind::Button &&
            static_cast<Button*>(child.control)->isDefault)
            return static_cast<Button*>(child.control);
    return nullptr;
}

// --- the model's changes -------------------------------------------------------

void FormWindow::Show() {
    ShowWindow(window_, SW_SHOWNORMAL);
    // A program started hidden still puts its window in front of the user.
    SetForegroundWindow(window_);
    UpdateWindow(window_);
    if (lastFocus_ == nullptr) FocusFirst();
}

void FormWindow::Hide() { ShowWindow(window_, SW_HIDE); }

void FormWindow::Update(Control& control) {
    if (&control == &form_) {
        SetWindowTextA(window_, form_.Caption().c_str());
        const SIZE size = WindowSize();
        SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    Child* child = ByControl(&control);
    if (child == nullptr || child->window == nullptr) return;
    switch (control.Kind()) {
    case ControlKind::ListBox:
    case ControlKind::ComboBox:
        SyncItems(*child);
        Place(*child);
        break;
    case ControlKind::Label:
        Invalidate(*child);
        SetWindowTextA(child->window, control.Caption().c_str());
        Place(*child);
        FitLabel(*child);
        Invalidate(*child);
        break;
    default:
        SetWindowTextA(child->window, control.Caption().c_str());
        Place(*child);
        break;
    }
}

void FormWindow::FocusFirst() {
    if (HWND first = GetNextDlgTabItem(window_, nullptr, FALSE)) SetFocus(first);
}

// --- window messages -----------------------------------------------------------

LRESULT CALLBACK FormWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
    try {
        if (message == WM_NCCREATE) {
            auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
            self->window_ = window;
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_NCDESTROY && self != nullptr) {
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            self->window_ = nullptr;
        }
        if (self == nullptr || self->window_ == nullptr) return DefWindowProcA(window, message, wParam, lParam);
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        app().HandleException(std::current_exception());
        return 0;
    }
}

LRESULT FormWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        // A modal loop waiting in GetMessage looks at its result again.
        PostMessageA(window_, WM_NULL, 0, 0);
        return 0;
    case WM_CLOSE:
        form_.Close();
        PostMessageA(window_, WM_NULL, 0, 0);
        return 0;
    case DM_GETDEFID: {
        const Child* button = ByControl(DefaultButton());
        return button != nullptr ? MAKELRESULT(button->id, DC_HASDEFID) : 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_MEASUREITEM:
        if (OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return TRUE;
        break;
    case WM_DRAWITEM:
        if (OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
        break;
    case WM_ERASEBKGND: {
        RECT area;
        GetClientRect(window_, &area);
        FillRect(reinterpret_cast<HDC>(wParam), &area, background_);
        return 1;
    }
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_SETFOCUS:
        OnActivate(true);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void FormWindow::OnCommand(int id, int code) {
    Child* child = ById(id);
    if (child == nullptr) {
        // What IsDialogMessage sends for Enter and Escape when no control
        // of that identifier exists.
        if (id == IDOK) form_.PressEnter();
        if (id == IDCANCEL) form_.PressEscape();
        return;
    }
    switch (child->control->Kind()) {
    case ControlKind::Button:
        if (code == BN_CLICKED) static_cast<Button*>(child->control)->Click();
        break;
    case ControlKind::ListBox:
        if (code == LBN_SELCHANGE)
            static_cast<ListBox*>(child->control)
                ->SetItemIndex(static_cast<int>(SendMessageA(child->window, LB_GETCURSEL, 0, 0)));
        break;
    case ControlKind::ComboBox:
        if (code == CBN_SELCHANGE)
            static_cast<ComboBox*>(child->control)
                ->PickItem(static_cast<int>(SendMessageA(child->window, CB_GETCURSEL, 0, 0)));
        break;
    default:
        break;
    }
}

LRESULT FormWindow::OnControlColor(HDC dc, HWND control) {
    SetTextColor(dc, ColorRef(form_.font.color));
    for (const auto& child : children_) {
        if (child.window != control || child.control->Kind() != ControlKind::Label) continue;
        if (static_cast<const Label*>(child.control)->transparent) {
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        }
    }
    SetBkColor(dc, ColorRef(form_.color));
    return reinterpret_cast<LRESULT>(background_);
}

bool FormWindow::OnMeasureItem(MEASUREITEMSTRUCT& measure) {
    if (measure.CtlType != ODT_COMBOBOX) return false;
    Child* child = ById(static_cast<int>(measure.CtlID));
    if (child == nullptr || child->control->Kind() != ControlKind::ComboBox) return false;
    const int index = measure.itemID == static_cast<UINT>(-1) ? -1 : static_cast<int>(measure.itemID);
    measure.itemHeight = static_cast<UINT>(static_cast<ComboBox*>(child->control)->ItemHeight(index));
    return true;
}

bool FormWindow::OnDrawItem(const DRAWITEMSTRUCT& draw) {
    if (draw.CtlType != ODT_COMBOBOX) return false;
    Child* child = ById(static_cast<int>(draw.CtlID));
    if (child == nullptr || child->control->Kind() != ControlKind::ComboBox) return false;
    auto* combo = static_cast<ComboBox*>(child->control);
    {
        GdiCanvas canvas(draw.hDC, (draw.itemState & ODS_SELECTED) != 0, font_.get());
        const int index = static_cast<int>(draw.itemID);
        if (index >= 0 && index < static_cast<int>(combo->Items().size()))
            combo->PaintItem(index, canvas, FromRect(draw.rcItem));
        else
            canvas.FillRect(FromRect(draw.rcItem));
    }
    if (draw.itemState & ODS_FOCUS) DrawFocusRect(draw.hDC, &draw.rcItem);
    return true;
}

void FormWindow::OnActivate(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus)) lastFocus_ = focus;
        return;
    }
    if (lastFocus_ != nullptr && IsWindow(lastFocus_))
        SetFocus(lastFocus_);
    else
        FocusFirst();
}

}  // namespace toolkit::win32
