// The drive list controls: TDriveComboBox, an owner-drawn drop-down list of
// the machine's drive letters, and TDriveComboBoxEx, which shows each drive
// with its small shell icon and its volume label or network path.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/Controls.h"

// A directory list that follows a drive list. Changing the drive may fail
// (a drive that is not ready); clearing never does.
class DirectoryListLink {
public:
    virtual ~DirectoryListLink() = default;
    // The drive list's current drive changed to `drive`.
    virtual void DriveChanged(char drive) = 0;
    // Empties the list and the file list linked to it, if any.
    virtual void Clear() = 0;
};

enum class TTextCase { tcLowerCase, tcUpperCase };

// The drive list of the toolkit: items "<letter>: <name>", each with one
// pointer-sized value; the current drive; the text case of the letters.
class TDriveComboBox : public toolkit::ComboBox {
public:
    TDriveComboBox(toolkit::Control* parent, std::string name);

    // The current drive letter; 0 when there is none (the process's
    // current folder was a network path).
    char Drive() const { return drive_; }
    void SetDrive(char drive) { drive_ = drive; }
    TTextCase TextCase() const { return textCase_; }
    void SetTextCase(TTextCase textCase) { textCase_ = textCase; }

    DirectoryListLink* DirList() const { return dirList_; }
    void SetDirList(DirectoryListLink* list) { dirList_ = list; }

    // Builds the list and selects the current drive's item.
    void CreateWnd() override;
    // The picked item's letter becomes the current drive; a linked
    // directory list is told.
    void Click() override;

protected:
    // Fills the item list, run as the control's window is made.
    virtual void BuildList() = 0;

private:
    void SelectCurrentDrive();

    char drive_ = 0;
    TTextCase textCase_ = TTextCase::tcLowerCase;
    DirectoryListLink* dirList_ = nullptr;
};

// An image list of 16 x 16 images that shares the shell's system list of
// small icons: it holds the list's handle and never destroys its images.
struct TImageList {
    std::uintptr_t handle = 0;
    int width = 16;
    int height = 16;
    bool shareImages = true;
};

class TDriveComboBoxEx : public TDriveComboBox {
public:
    TDriveComboBoxEx(toolkit::Control* parent, std::string name);
    ~TDriveComboBoxEx() override;

    // Icons are looked up as each item is painted on NT and on Windows Me;
    // on the other 9x systems the list keeps each drive's icon index.
    bool LiveIcons() const { return liveIcons_; }
    // Only when LiveIcons is false.
    const TImageList* IconList() const { return iconList_.get(); }

    // 0x01020101: 1 and 2 in the high word, 1 and 1 in the low word.
    virtual std::uint32_t GetVersionNumber() const;
    // "1.2.1.1"; assigning leaves it so.
    std::string Version() const;
    void SetVersion(const std::string& value);

    int MeasureItem(int index) override;
    void DrawItem(int index, toolkit::Canvas& canvas, const toolkit::Rect& rect) override;
    // The base's click; when that fails, the linked directory list (and its
    // file list) is cleared and the error dropped.
    void Click() override;

protected:
    void BuildList() override;

private:
    std::string DriveName(char letter, std::uint32_t type) const;

    bool liveIcons_ = false;
    std::unique_ptr<TImageList> iconList_;
};
