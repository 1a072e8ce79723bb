#include "forms/form.hpp"

#include <stdexcept>

namespace px::forms {

void Surface::Point(double x, double y, Color c) { Record(PointFigure{x, y, c, static_cast<int>(DrawWidth)}); }
void Surface::Line(double x1, double y1, double x2, double y2, Color c) {
    Record(LineFigure{x1, y1, x2, y2, c, static_cast<int>(DrawWidth)});
}
void Surface::Box(double x1, double y1, double x2, double y2, Color c, bool filled) {
    Record(BoxFigure{x1, y1, x2, y2, c, static_cast<int>(DrawWidth), filled});
}
void Surface::Cls(Color background) {
    // Whatever was drawn before is gone from the surface, so the list starts again.
    figures_.clear();
    Record(ClearFigure{background});
}

Control::Control(Form& form, ControlDecl decl) : form_(form), decl_(std::move(decl)) { Reset(); }

void Control::Reset() {
    caption_ = decl_.Caption;
    enabled_ = decl_.Enabled;
    visible_ = decl_.Visible;
    foreColor_ = decl_.ForeColor;
    backColor_ = decl_.BackColor;
    font_ = decl_.TextFont;
    left_ = decl_.Left;
    top_ = decl_.Top;
    width_ = decl_.Width;
    height_ = decl_.Height;
    value_ = decl_.Value;
    list_ = decl_.List;
    listIndex_ = decl_.ListIndex;
    picture_ = decl_.Picture;
    border_ = decl_.Border;
    figures_.clear();
}

void Control::Changed() { form_.NotifyControl(*this); }

void Control::SetCaption(const std::string& text) {
    if (caption_ == text) return;
    caption_ = text;
    Changed();
}
void Control::SetEnabled(bool on) {
    if (enabled_ == on) return;
    enabled_ = on;
    Changed();
}
void Control::SetVisible(bool on) {
    if (visible_ == on) return;
    visible_ = on;
    Changed();
}
void Control::SetForeColor(Color c) {
    if (foreColor_ == c) return;
    foreColor_ = c;
    Changed();
}
void Control::SetBackColor(Color c) {
    if (backColor_ == c) return;
    backColor_ = c;
    Changed();
}
void Control::SetBorder(bool on) {
    if (border_ == on) return;
    border_ = on;
    Changed();
}
void Control::Move(double left, double top, double width, double height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Changed();
}

void Control::SetValue(int v) {
    switch (decl_.Kind) {
        case ControlKind::OptionButton: {
            const int on = v != 0 ? 1 : 0;
            if (on == 1) {
                // One chosen option per container.
                for (auto& other : form_.Controls()) {
                    if (other.get() == this || other->Kind() != ControlKind::OptionButton) continue;
                    if (other->decl_.Container != decl_.Container || other->value_ == 0) continue;
                    other->value_ = 0;
                    other->Changed();
                }
            }
            const bool changed = value_ != on;
            value_ = on;
            if (changed) Changed();
            if (on == 1 && changed && Click) Click();
            return;
        }
        case ControlKind::CheckBox: {
            if (value_ == v) return;
            value_ = v;
            Changed();
            if (Click) Click();
            return;
        }
        case ControlKind::HScrollBar: {
            const int clamped = v < decl_.Min ? decl_.Min : (v > decl_.Max ? decl_.Max : v);
            if (value_ == clamped) return;
            value_ = clamped;
            Changed();
            if (Change) Change();
            return;
        }
        default:
            if (value_ == v) return;
            value_ = v;
            Changed();
    }
}

void Control::Clear() {
    list_.clear();
    listIndex_ = -1;
    Changed();
}

void Control::AddItem(const std::string& item) {
    list_.push_back(item);
    Changed();
}

void Control::SetListIndex(int index) {
    if (index < -1 || index >= static_cast<int>(list_.size())) return;
    if (listIndex_ != index) {
        listIndex_ = index;
        Changed();
    }
    if (Click) Click();
}

void Control::SetPicture(const std::string& picture, double widthTwips, double heightTwips) {
    picture_ = picture;
    if (decl_.AutoSize && widthTwips > 0 && heightTwips > 0) {
        width_ = widthTwips;
        height_ = heightTwips;
    }
    Changed();
}

void Control::UserClick() {
    if (!enabled_ || !visible_) return;
    switch (decl_.Kind) {
        case ControlKind::OptionButton:
            if (value_ == 1) {
                if (Click) Click();  // choosing the chosen option again still clicks
            } else {
                SetValue(1);
            }
            return;
        case ControlKind::CheckBox:
            SetValue(value_ == 1 ? 0 : 1);
            return;
        default:
            if (Click) Click();
    }
}

void Control::UserScroll(int position) {
    if (!enabled_) return;
    SetValue(position);
    if (Scroll) Scroll();
}

void Control::UserSelect(int index) {
    if (!enabled_) return;
    SetListIndex(index);
}

void Control::Record(const Figure& f) {
    figures_.push_back(f);
    form_.NotifyDrawn(this, f);
}

Form::Form(FormDecl decl, std::vector<ControlDecl> controls) : decl_(std::move(decl)) {
    for (auto& c : controls) controls_.push_back(std::make_unique<Control>(*this, std::move(c)));
    Reset();
}

void Form::Reset() {
    caption_ = decl_.Caption;
    pointer_ = MousePointer::Default;
    backColor_ = decl_.BackColor;
    width_ = decl_.ClientWidth + frameWidth_;
    height_ = decl_.ClientHeight + frameHeight_;
    figures_.clear();
    for (auto& c : controls_) c->Reset();
}

Control* Form::TryFind(const std::string& name, int index) {
    for (auto& c : controls_)
        if (c->Name() == name && c->Index() == index) return c.get();
    return nullptr;
}

Control& Form::Find(const std::string& name, int index) {
    if (auto* c = TryFind(name, index)) return *c;
    // A misspelt control name is a programming error in a window's own code.
    throw std::logic_error(decl_.Name + " has no control " + name +
                           (index >= 0 ? "(" + std::to_string(index) + ")" : std::string()));
}

void Form::Changed() {
    if (observer_ && loaded_) observer_->FormChanged(*this);
}

void Form::NotifyControl(Control& c) {
    if (observer_ && loaded_) observer_->ControlChanged(c);
}

void Form::NotifyDrawn(Control* picture, const Figure& f) {
    if (observer_ && loaded_) observer_->Drawn(*this, picture, f);
}

void Form::SetCaption(const std::string& text) {
    if (caption_ == text) return;
    caption_ = text;
    Changed();
}

void Form::SetPointer(MousePointer p) {
    if (pointer_ == p) return;
    pointer_ = p;
    Changed();
}

void Form::SetBackColor(Color c) {
    if (backColor_ == c) return;
    backColor_ = c;
    Changed();
}

void Form::Move(double left, double top, double width, double height) {
    const bool resized = width != width_ || height != height_;
    if (left == left_ && top == top_ && !resized) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Changed();
    if (resized && loaded_ && Resize) Resize();
}

void Form::SetFrameSize(double width, double height) {
    // Keeps the client area and grows the outer size around it.
    const double client_w = ScaleWidth();
    const double client_h = ScaleHeight();
    frameWidth_ = width;
    frameHeight_ = height;
    width_ = client_w + width;
    height_ = client_h + height;
}

void Form::Show() {
    if (!loaded_) {
        loaded_ = true;
        if (observer_) observer_->FormLoaded(*this);
        if (Load) Load();
        if (!loaded_) return;  // the load itself unloaded the window
    }
    if (!visible_) {
        visible_ = true;
        Changed();
    }
    Activate();
}

void Form::Hide() {
    if (!loaded_) {
        // Hiding an unloaded window loads it, hidden.
        loaded_ = true;
        if (observer_) observer_->FormLoaded(*this);
        if (Load) Load();
        return;
    }
    if (!visible_) return;
    visible_ = false;
    Changed();
}

bool Form::Unload() {
    if (!loaded_) return true;
    bool cancel = false;
    if (Unloading) Unloading(cancel);
    if (cancel) return false;
    visible_ = false;
    loaded_ = false;
    if (observer_) observer_->FormUnloaded(*this);
    Reset();
    return true;
}

void Form::Activate() {
    if (loaded_ && visible_ && Activated) Activated();
}

void Form::Record(const Figure& f) {
    figures_.push_back(f);
    NotifyDrawn(nullptr, f);
}

std::string DisplayedText(const std::string& caption) {
    std::string text;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                text += '&';
                ++i;
            }
            continue;
        }
        text += caption[i];
    }
    return text;
}

}  // namespace px::forms
