// A small colour-keyed popup that carries one image button and floats at a fixed offset from the
// window that owns it.
#pragma once

#include "controls/image_button.h"
#include "platform/dialog.h"

class DialogImageButton : public platform::MessageRouted<DialogImageButton, platform::Dialog> {
  public:
    static const platform::MessageTable<DialogImageButton> kMessages;
    // Every pixel of exactly this colour in the host is transparent on screen.
    static constexpr COLORREF kColourKey = RGB(255, 0, 255);
    static constexpr int kHeight = 50;

    DialogImageButton() = default;
    // The window's handlers must run while this object is still a DialogImageButton.
    ~DialogImageButton() override { Destroy(); }

    // Creates the image button (0 x 0 until placed) and loads its images and tag. The caption is the
    // button's window text and is never drawn.
    void SetupButton(const wchar_t* caption, UINT normalId, UINT hoverId, const wchar_t* tag, UINT childId);
    // Offset from the owner's window rectangle (frame included) and width; the height is always 50.
    void SetPlacement(int x, int y, int width);
    // Moves host and button to the stored offset from the owner's current position. Without an owner
    // the host collapses to nothing at the screen origin.
    void Reposition();
    // Has the owner repaint what lies under the host, makes the host transparent and draws the button;
    // does nothing while the host is hidden.
    void Redraw();

    CImageButton& button() { return button_; }

  protected:
    // Enter and Escape never close a host.
    void OnOK() override {}
    void OnCancel() override {}

  private:
    LRESULT OnCreate(platform::Message& m);
    LRESULT OnEraseBkgnd(platform::Message& m);
    LRESULT OnDestroy(platform::Message& m);

    HWND Owner() const { return GetWindow(hwnd(), GW_OWNER); }
    void InvalidateOwnerUnderHost();

    CImageButton button_;
    int x_ = 0;
    int y_ = 0;
    int width_ = 0;
    int height_ = 0;
};
