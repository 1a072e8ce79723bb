// Fakes for the start-up and right-button programs: the display and the right-button window.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "shared/display_port.hpp"
#include "shared/rbf_window_port.hpp"

namespace px::fakes {

class FakeDisplay : public DisplayPort {
public:
    int Width = 1024, Height = 768;
    PixelRect Work{0, 0, 1024, 740};
    double Tpp = 15;
    int ScreenWidth() override { return Width; }
    int ScreenHeight() override { return Height; }
    PixelRect WorkArea() override { return Work; }
    double TwipsPerPixelX() override { return Tpp; }
    double TwipsPerPixelY() override { return Tpp; }
    std::vector<std::pair<int, int>> DoubleClickAreas;
    void ApplyDoubleClickArea(int width, int height) override { DoubleClickAreas.emplace_back(width, height); }
};

// Records every call as one line, e.g. "move window 978,677,46,63"; OnCall sees each as it happens.
class FakeRbfWindow : public RbfWindowPort {
public:
    WindowHandle Handle = 0x2A0;
    PixelSize Outer{120, 120};
    PixelSize Inner{114, 97};
    RbfWindowEvents* Events = nullptr;
    std::vector<std::string> Calls;
    std::function<void(const std::string&)> OnCall;

    WindowHandle Create(const std::string& caption, const std::string& icon, RbfWindowEvents& events) override {
        Events = &events;
        Log("create " + caption + " " + icon);
        return Handle;
    }
    void Subclass() override { Log("subclass"); }
    void RestoreProcedure() override { Log("restore"); }
    void SetCaption(const std::string& caption) override { Log("caption " + caption); }
    void SetBackColor(std::uint32_t colour) override { Log("back " + std::to_string(colour)); }
    PixelSize OuterSize() override { return Outer; }
    PixelSize InnerSize() override { return Inner; }
    void MoveWindow(int l, int t, int w, int h) override { Log("move window " + Rect(l, t, w, h)); }
    void MoveButton(int l, int t, int w, int h) override { Log("move button " + Rect(l, t, w, h)); }
    void SetTopmost() override { Log("topmost"); }
    void ShowWindow(bool visible) override { Log(visible ? "show window" : "hide window"); }
    void ShowButton(bool visible) override { Log(visible ? "show button" : "hide button"); }
    void Destroy() override { Log("destroy"); }

    bool Called(const std::string& call) const {
        for (const auto& c : Calls)
            if (c == call) return true;
        return false;
    }

private:
    static std::string Rect(int l, int t, int w, int h) {
        return std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(w) + "," + std::to_string(h);
    }
    void Log(const std::string& call) {
        Calls.push_back(call);
        if (OnCall) OnCall(call);
    }
};

}  // namespace px::fakes
