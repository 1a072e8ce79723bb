// Portable form model: windows and controls with the properties and events the programs use,
// and a display list for what they draw. The Win32 binding (src/win32) mirrors it into real
// windows; tests drive it directly.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace px::forms {

// Colours as stored by the forms: 0x00BBGGRR, or 0x800000nn for Windows system colour nn.
using Color = std::uint32_t;
constexpr Color Rgb(unsigned r, unsigned g, unsigned b) { return (b << 16) | (g << 8) | r; }
constexpr Color SystemColor(unsigned index) { return 0x80000000u | index; }
constexpr bool IsSystemColor(Color c) { return (c & 0x80000000u) != 0; }
inline constexpr Color kButtonFace = SystemColor(15);
inline constexpr Color kButtonText = SystemColor(18);
inline constexpr Color kWindowText = SystemColor(8);
inline constexpr Color kWindowBackground = SystemColor(5);
inline constexpr Color kBlack = Rgb(0, 0, 0);
inline constexpr Color kWhite = Rgb(255, 255, 255);
inline constexpr Color kLightGrey = Rgb(192, 192, 192);
inline constexpr Color kTeal = Rgb(0, 128, 128);
inline constexpr Color kRed = Rgb(255, 0, 0);
inline constexpr Color kGreen = Rgb(0, 255, 0);
inline constexpr Color kDarkGreen = Rgb(0, 128, 0);
inline constexpr Color kBlue = Rgb(0, 0, 255);
inline constexpr Color kNavy = Rgb(0, 0, 128);
inline constexpr Color kYellow = Rgb(255, 255, 0);
inline constexpr Color kMagenta = Rgb(255, 0, 255);
inline constexpr Color kGrey = Rgb(128, 128, 128);
inline constexpr Color kDarkGrey = Rgb(64, 64, 64);
inline constexpr Color kChoiceGrey = Rgb(224, 224, 224);

struct Font {
    std::string Name = "MS Sans Serif";
    double Size = 8.25;
    bool Bold = false;
    bool Italic = false;
    bool operator==(const Font&) const = default;
};

enum class ControlKind { Label, CommandButton, Frame, Shape, OptionButton, CheckBox, HScrollBar, ComboBox, PictureBox,
                         Image };
enum class Alignment { Left, Right, Center };
enum class MousePointer { Default, Hourglass };
enum class BorderStyle { None, FixedSingle, FixedDialog };
enum class WindowState { Normal, Maximized };
enum class ScaleMode { Twips, Pixels };

// Mouse buttons and modifier keys as the events report them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

// Drawn figures, in the surface's scale units.
struct PointFigure {
    double X, Y;
    Color Colour;
    int Width;
};
struct LineFigure {
    double X1, Y1, X2, Y2;
    Color Colour;
    int Width;
};
struct BoxFigure {
    double X1, Y1, X2, Y2;
    Color Colour;
    int Width;
    bool Filled;
};
struct ClearFigure {
    Color Background;
};
using Figure = std::variant<PointFigure, LineFigure, BoxFigure, ClearFigure>;

class Form;
class Control;

// Told about every change the logic makes, so a binding can mirror it.
class FormObserver {
public:
    virtual ~FormObserver() = default;
    virtual void FormLoaded(Form& form) = 0;
    virtual void FormUnloaded(Form& form) = 0;
    virtual void FormChanged(Form& form) = 0;
    virtual void ControlChanged(Control& control) = 0;
    virtual void Drawn(Form& form, Control* picture, const Figure& figure) = 0;
};

// Something that can be drawn on: a form or a picture box.
class Surface {
public:
    double DrawWidth = 1;
    Color DrawColor = kBlack;
    ScaleMode Scale = ScaleMode::Twips;

    const std::vector<Figure>& Figures() const { return figures_; }
    void Point(double x, double y, Color c);
    void Line(double x1, double y1, double x2, double y2, Color c);
    void Box(double x1, double y1, double x2, double y2, Color c, bool filled);
    void Cls(Color background);

protected:
    virtual void Record(const Figure& f) = 0;
    std::vector<Figure> figures_;
};

// How a control is declared in its window's table.
struct ControlDecl {
    std::string Name;
    int Index = -1;  // element of a control array, -1 when not an array
    ControlKind Kind = ControlKind::Label;
    std::string Caption;
    double Left = 0, Top = 0, Width = 0, Height = 0;
    Color ForeColor = kButtonText;
    Color BackColor = kButtonFace;
    Font TextFont;
    bool Visible = true;
    bool Enabled = true;
    bool Default = false;
    bool Cancel = false;
    bool Transparent = false;  // labels: back style transparent
    bool AutoSize = false;     // labels and pictures size themselves to their content
    Alignment Align = Alignment::Left;
    std::string Container;  // name of the frame holding it, empty for the form
    int Value = 0;
    int Min = 0, Max = 32767, SmallChange = 1, LargeChange = 1;
    std::vector<std::string> List;
    int ListIndex = -1;
    std::string Picture;  // resource or file the picture/image shows
    bool Border = false;  // picture boxes: the sunken 3-D frame; labels: a single line
};

class Control : public Surface {
public:
    Control(Form& form, ControlDecl decl);

    const ControlDecl& Declaration() const { return decl_; }
    const std::string& Name() const { return decl_.Name; }
    int Index() const { return decl_.Index; }
    ControlKind Kind() const { return decl_.Kind; }
    Form& Parent() { return form_; }

    // Live properties; setters tell the observer.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& text);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    bool Visible() const { return visible_; }
    void SetVisible(bool on);
    Color ForeColor() const { return foreColor_; }
    void SetForeColor(Color c);
    Color BackColor() const { return backColor_; }
    void SetBackColor(Color c);
    const forms::Font& TextFont() const { return font_; }
    bool Border() const { return border_; }
    void SetBorder(bool on);
    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    void Move(double left, double top, double width, double height);
    void SetLeft(double v) { Move(v, top_, width_, height_); }
    void SetTop(double v) { Move(left_, v, width_, height_); }
    void SetWidth(double v) { Move(left_, top_, v, height_); }
    void SetHeight(double v) { Move(left_, top_, width_, v); }

    // Option buttons and check boxes: 0/1 (2 grey for checks); scroll bars: the position.
    int Value() const { return value_; }
    // Option buttons clear the others of their container and raise Click; check boxes raise
    // Click; scroll bars raise Change. Like the user's own action.
    void SetValue(int v);
    int Min() const { return decl_.Min; }
    int Max() const { return decl_.Max; }

    const std::vector<std::string>& List() const { return list_; }
    void Clear();
    void AddItem(const std::string& item);
    int ListIndex() const { return listIndex_; }
    void SetListIndex(int index);  // raises Click, as a user's choice does

    const std::string& Picture() const { return picture_; }
    void SetPicture(const std::string& picture, double widthTwips = 0, double heightTwips = 0);

    // What the binding calls when the user acts on the real control.
    void UserClick();
    void UserScroll(int position);
    void UserSelect(int index);

    std::function<void()> Click;
    std::function<void()> DblClick;
    std::function<void()> Change;
    std::function<void()> Scroll;
    std::function<void(int button, int shift, double x, double y)> MouseDown;
    std::function<void(int button, int shift, double x, double y)> MouseMove;
    std::function<void(int button, int shift, double x, double y)> MouseUp;
    std::function<void(int& keyAscii)> KeyPress;
    std::function<void(int& keyCode, int shift)> KeyDown;

    void Reset();  // back to the declaration, as a fresh load

protected:
    void Record(const Figure& f) override;

private:
    void Changed();
    Form& form_;
    ControlDecl decl_;
    std::string caption_;
    bool enabled_ = true, visible_ = true;
    Color foreColor_ = 0, backColor_ = 0;
    forms::Font font_;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    int value_ = 0;
    std::vector<std::string> list_;
    int listIndex_ = -1;
    std::string picture_;
    bool border_ = false;
};

struct FormDecl {
    std::string Name;
    std::string Caption;
    double ClientWidth = 0, ClientHeight = 0;  // twips
    forms::BorderStyle Border = forms::BorderStyle::FixedSingle;
    forms::WindowState State = forms::WindowState::Normal;
    Color BackColor = kButtonFace;
    bool ControlBox = true;
    bool KeyPreview = false;
    // Above every window that is not topmost, the taskbar included, for as long as it is open.
    bool TopMost = false;
    std::string Icon;
};

// The screen the forms live on, in twips.
struct ScreenMetrics {
    double Width = 15360;
    double Height = 11520;
    double TwipsPerPixelX = 15;
    double TwipsPerPixelY = 15;
};

class Form : public Surface {
public:
    Form(FormDecl decl, std::vector<ControlDecl> controls);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const FormDecl& Declaration() const { return decl_; }
    const std::string& Name() const { return decl_.Name; }

    Control& operator[](const std::string& name) { return Find(name, -1); }
    Control& operator()(const std::string& name, int index) { return Find(name, index); }
    Control* TryFind(const std::string& name, int index = -1);
    std::vector<std::unique_ptr<Control>>& Controls() { return controls_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& text);
    forms::MousePointer Pointer() const { return pointer_; }
    void SetPointer(forms::MousePointer p);
    Color BackColor() const { return backColor_; }
    void SetBackColor(Color c);

    // Outer geometry in twips; the client ("scale") area is the outer size less the frame.
    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    double ScaleWidth() const { return width_ - frameWidth_; }
    double ScaleHeight() const { return height_ - frameHeight_; }
    void Move(double left, double top, double width, double height);
    void SetWidth(double v) { Move(left_, top_, v, height_); }
    void SetHeight(double v) { Move(left_, top_, width_, v); }
    // The binding reports how much the real window's frame and caption take.
    void SetFrameSize(double width, double height);
    double FrameWidth() const { return frameWidth_; }
    double FrameHeight() const { return frameHeight_; }

    const ScreenMetrics& Screen() const { return screen_; }
    void SetScreen(const ScreenMetrics& s) { screen_ = s; }

    bool Loaded() const { return loaded_; }
    bool Visible() const { return visible_; }
    // Loads on first use (Load event), shows, and raises Activate.
    void Show();
    void Hide();
    // Raises Unload; unless cancelled the window goes and the next Show loads it afresh.
    bool Unload();
    void Activate();  // the binding calls this when the user brings the window back

    // The real window's handle while loaded, set by the binding (0 in tests without one).
    std::intptr_t NativeHandle = 0;

    void SetObserver(FormObserver* observer) { observer_ = observer; }
    FormObserver* Observer() { return observer_; }

    std::function<void()> Load;
    std::function<void()> Activated;
    std::function<void()> Resize;
    std::function<void(bool& cancel)> Unloading;
    // The session ends (logoff, shutdown), or another program closes this one, while the window is
    // loaded: undo what must not outlive it.
    std::function<void()> SessionEnding;
    std::function<void(int& keyAscii)> KeyPress;
    std::function<void(int& keyCode, int shift)> KeyDown;
    std::function<void(int button, int shift, double x, double y)> MouseDown;
    std::function<void(int button, int shift, double x, double y)> MouseMove;
    std::function<void(int button, int shift, double x, double y)> MouseUp;

    void NotifyControl(Control& c);
    void NotifyDrawn(Control* picture, const Figure& f);

protected:
    void Record(const Figure& f) override;

private:
    Control& Find(const std::string& name, int index);
    void Reset();
    void Changed();

    FormDecl decl_;
    std::vector<std::unique_ptr<Control>> controls_;
    FormObserver* observer_ = nullptr;
    ScreenMetrics screen_;
    std::string caption_;
    forms::MousePointer pointer_ = forms::MousePointer::Default;
    Color backColor_ = kButtonFace;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    double frameWidth_ = 0, frameHeight_ = 0;
    bool loaded_ = false;
    bool visible_ = false;
};

// Turns a caption's "&&" into the one "&" a label shows, and drops single "&" mnemonics.
std::string DisplayedText(const std::string& caption);

}  // namespace px::forms
