// A push button that shows one of two PNG images instead of the platform's button face, and acts on
// its tag the moment the left button goes down on it.
#pragma once

#include <string>

#include "platform/gdiplus.h"
#include "platform/window.h"

class CImageButton : public platform::MessageRouted<CImageButton, platform::Window> {
  public:
    static const platform::MessageTable<CImageButton> kMessages;
    // How a tag other than "min" and "close" reaches the desktop shell. The product keeps the default,
    // which hands the tag to ShellExecuteW; tests put a recorder here.
    using ShellOpener = void (*)(const wchar_t* target);
    static void OpenWithShell(const wchar_t* target);
    // Replaces the process-wide opener and returns the previous one.
    static ShellOpener SetShellOpener(ShellOpener opener);

    CImageButton() = default;
    // The window's handlers must run while this object is still a CImageButton.
    ~CImageButton() override { Destroy(); }

    // A visible child push button of the standard "Button" class, subclassed by this object.
    bool Create(const wchar_t* caption, const RECT& rect, HWND parent, UINT id);
    // Loads both images from "PNG" resources (a missing one stays empty) and shows the normal one.
    void LoadImages(UINT normalId, UINT hoverId, const wchar_t* tag);
    // Draws the current image at its natural size at the client area's top-left corner.
    void DrawCurrentImage();

    const std::wstring& tag() const { return tag_; }
    bool showsHoverImage() const { return current_ == &hover_; }
    bool holdsImages() const { return !normal_.empty() || !hover_.empty(); }

  private:
    LRESULT OnCreate(platform::Message& m);
    LRESULT OnPaint(platform::Message& m);
    LRESULT OnMouseMove(platform::Message& m);
    LRESULT OnMouseLeave(platform::Message& m);
    LRESULT OnSetCursor(platform::Message& m);
    LRESULT OnLButtonDown(platform::Message& m);
    LRESULT OnLButtonUp(platform::Message& m);
    LRESULT OnDestroy(platform::Message& m);
    LRESULT OnFaceChange(platform::Message& m);

    void Show(const platform::Image& image);
    void PaintNow();
    void AskForLeaveNotice();
    void RunAction();
    void SendToHostOwner(WPARAM command);

    static ShellOpener shellOpener_;

    platform::Image normal_;
    platform::Image hover_;
    const platform::Image* current_ = nullptr;  // &normal_, &hover_ or null; never owns
    std::wstring tag_;
};
