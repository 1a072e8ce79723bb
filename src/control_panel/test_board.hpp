// The touch test board: a full-screen drawing surface on which strokes of the finger (or the
// mouse) are drawn, with indicators for the held mouse buttons. Touch mode 4 while it is open.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "forms/form.hpp"
#include "shared/driver_channel.hpp"

namespace px {

class ControlPanel;

inline constexpr std::uint8_t kDragDropMode = 4;

std::unique_ptr<forms::Form> MakeTestForm();

// lblButton index lit by a mouse button: L 0, M 1, R 2; -1 for anything else.
int IndicatorOf(int button);

class TestBoard {
public:
    TestBoard(forms::Form& form, DriverChannel& channel, std::function<void()> returnToMain);

    void Load();
    void Activate();
    void Unloaded();
    // Drag-drop is only for the board; the user's own mode goes back whenever it closes.
    void RestoreTouchMode();
    void SelectWidth(int index);
    void SelectColor(int index);
    void Press(int button, double x, double y);
    void Move(double x, double y);
    void Release(int button);
    void Clear();
    void Layout();
    void LayoutHead();
    void LayoutMesg();

    bool PenDown() const { return penDown_; }
    int WidthIndex() const { return widthIndex_; }
    int ColorIndex() const { return colorIndex_; }

private:
    void SetIndicator(int button, bool lit);

    forms::Form& form_;
    DriverChannel& channel_;
    std::function<void()> returnToMain_;
    bool penDown_ = false;
    int widthIndex_ = 0;
    int colorIndex_ = 0;
    std::uint8_t savedTouchMode_ = 0;
    double currentX_ = 0, currentY_ = 0;  // the surface's graphics position
};

void InstallTestBoard(ControlPanel& panel);

}  // namespace px
