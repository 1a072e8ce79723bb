#include <gtest/gtest.h>

#include "forms/form.hpp"

namespace px::forms {
namespace {

struct RecordingObserver : FormObserver {
    std::vector<std::string> Log;
    void FormLoaded(Form& f) override { Log.push_back("loaded " + f.Name()); }
    void FormUnloaded(Form& f) override { Log.push_back("unloaded " + f.Name()); }
    void FormChanged(Form& f) override { Log.push_back("form " + f.Caption() + (f.Visible() ? " shown" : " hidden")); }
    void ControlChanged(Control& c) override { Log.push_back("control " + c.Name()); }
    void Drawn(Form&, Control* p, const Figure&) override { Log.push_back("drawn " + (p ? p->Name() : "form")); }
};

Form MakeForm() {
    return Form({.Name = "frmTest", .Caption = "Design", .ClientWidth = 3000, .ClientHeight = 2000},
                {
                    {.Name = "fraA", .Kind = ControlKind::Frame},
                    {.Name = "optA", .Index = 0, .Kind = ControlKind::OptionButton, .Container = "fraA"},
                    {.Name = "optA", .Index = 1, .Kind = ControlKind::OptionButton, .Container = "fraA", .Value = 1},
                    {.Name = "optB", .Index = 0, .Kind = ControlKind::OptionButton, .Value = 1},
                    {.Name = "chkX", .Kind = ControlKind::CheckBox},
                    {.Name = "hscX", .Kind = ControlKind::HScrollBar, .Min = 1, .Max = 20},
                    {.Name = "cboX", .Kind = ControlKind::ComboBox, .List = {"3", "4"}},
                    {.Name = "lblX", .Kind = ControlKind::Label, .Caption = "Label"},
                    {.Name = "cmdX", .Kind = ControlKind::CommandButton, .Caption = "&OK"},
                });
}

TEST(Forms, OptionsInOneContainerExcludeEachOtherOnly) {
    Form form = MakeForm();
    int clicks = 0;
    form("optA", 0).Click = [&] { ++clicks; };
    form("optA", 0).UserClick();
    EXPECT_EQ(form("optA", 0).Value(), 1);
    EXPECT_EQ(form("optA", 1).Value(), 0);
    EXPECT_EQ(form("optB", 0).Value(), 1);  // other container untouched
    EXPECT_EQ(clicks, 1);
    form("optA", 0).UserClick();  // the chosen option clicked again still raises Click
    EXPECT_EQ(clicks, 2);
}

TEST(Forms, DisabledOrHiddenControlsIgnoreTheUser) {
    Form form = MakeForm();
    int clicks = 0;
    form["cmdX"].Click = [&] { ++clicks; };
    form["cmdX"].SetEnabled(false);
    form["cmdX"].UserClick();
    form["cmdX"].SetEnabled(true);
    form["cmdX"].SetVisible(false);
    form["cmdX"].UserClick();
    EXPECT_EQ(clicks, 0);
}

TEST(Forms, ScrollBarClampsAndRaisesChangeOnlyOnChange) {
    Form form = MakeForm();
    std::vector<int> seen;
    form["hscX"].Change = [&] { seen.push_back(form["hscX"].Value()); };
    form["hscX"].UserScroll(50);
    form["hscX"].UserScroll(20);
    form["hscX"].UserScroll(-3);
    EXPECT_EQ(seen, (std::vector<int>{20, 1}));
}

TEST(Forms, CheckBoxTogglesAndComboSelectionClicks) {
    Form form = MakeForm();
    int checkClicks = 0, comboClicks = 0;
    form["chkX"].Click = [&] { ++checkClicks; };
    form["cboX"].Click = [&] { ++comboClicks; };
    form["chkX"].UserClick();
    EXPECT_EQ(form["chkX"].Value(), 1);
    form["chkX"].UserClick();
    EXPECT_EQ(form["chkX"].Value(), 0);
    form["cboX"].UserSelect(1);
    form["cboX"].UserSelect(5);  // no such item
    EXPECT_EQ(form["cboX"].ListIndex(), 1);
    EXPECT_EQ(checkClicks, 2);
    EXPECT_EQ(comboClicks, 1);
}

TEST(Forms, ShowLoadsOnceAndActivatesEveryTime) {
    Form form = MakeForm();
    RecordingObserver observer;
    form.SetObserver(&observer);
    std::vector<std::string> events;
    form.Load = [&] {
        events.push_back("load");
        form.SetCaption("Loaded");
    };
    form.Activated = [&] { events.push_back("activate"); };
    form.Show();
    form.Hide();
    form.Show();
    EXPECT_EQ(events, (std::vector<std::string>{"load", "activate", "activate"}));
    EXPECT_EQ(observer.Log.front(), "loaded frmTest");
    EXPECT_TRUE(form.Visible());
}

TEST(Forms, UnloadCanBeCancelledAndOtherwiseResetsToTheDeclaration) {
    Form form = MakeForm();
    RecordingObserver observer;
    form.SetObserver(&observer);
    bool refuse = true;
    form.Unloading = [&](bool& cancel) { cancel = refuse; };
    form.Show();
    form.SetCaption("Changed");
    form["lblX"].SetCaption("Other");
    EXPECT_FALSE(form.Unload());
    EXPECT_TRUE(form.Loaded());
    refuse = false;
    EXPECT_TRUE(form.Unload());
    EXPECT_FALSE(form.Loaded());
    EXPECT_EQ(form.Caption(), "Design");
    EXPECT_EQ(form["lblX"].Caption(), "Label");
    EXPECT_EQ(observer.Log.back(), "unloaded frmTest");
}

TEST(Forms, UnknownControlNameIsAnError) {
    Form form = MakeForm();
    EXPECT_THROW(form["lblNope"], std::logic_error);
    EXPECT_THROW(form("optA", 2), std::logic_error);
    EXPECT_EQ(form.TryFind("optA", 2), nullptr);
}

TEST(Forms, DisplayListKeepsFiguresUntilCleared) {
    Form form = MakeForm();
    form.DrawWidth = 3;
    form.Line(0, 0, 10, 10, kBlack);
    form.Box(1, 1, 5, 5, kWhite, true);
    ASSERT_EQ(form.Figures().size(), 2u);
    const auto& line = std::get<LineFigure>(form.Figures()[0]);
    EXPECT_EQ(line.Width, 3);
    form.Cls(kLightGrey);
    ASSERT_EQ(form.Figures().size(), 1u);
    EXPECT_EQ(std::get<ClearFigure>(form.Figures()[0]).Background, kLightGrey);
}

TEST(Forms, ClientAreaIsTheOuterSizeLessTheFrame) {
    Form form = MakeForm();
    form.SetFrameSize(90, 405);
    EXPECT_DOUBLE_EQ(form.Width(), 3090);
    EXPECT_DOUBLE_EQ(form.ScaleHeight(), 2000);
    form.SetWidth(5090);
    EXPECT_DOUBLE_EQ(form.ScaleWidth(), 5000);
}

TEST(Forms, LabelsShowDoubledAmpersandsOnceAndDropMnemonics) {
    EXPECT_EQ(DisplayedText("Both Touch Down && Lift Off"), "Both Touch Down & Lift Off");
    EXPECT_EQ(DisplayedText("S&upport"), "Support");
    EXPECT_EQ(DisplayedText("&&&x"), "&x");
    EXPECT_EQ(DisplayedText("end&"), "end");
}

}  // namespace
}  // namespace px::forms
