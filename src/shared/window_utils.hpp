// Window utilities every program shares: placement, the two message boxes, the file check and
// the mouse cursor.
#pragma once

#include <cstdint>
#include <string>

#include "shared/ports.hpp"

namespace px {

inline constexpr std::uint32_t kErrorBoxStyle = kBoxSystemModal | kBoxIconStop | kBoxOk;
inline constexpr std::uint32_t kYesNoQuestionStyle = kBoxSystemModal | kBoxIconQuestion | kBoxYesNo;

struct TwipsPoint {
    long Left;
    long Top;
};

// Centred horizontally and in the upper 85 % of the screen; sizes in twips.
TwipsPoint CenterWindow(double screenWidth, double screenHeight, double windowWidth, double windowHeight);

struct IconPlacement {
    double Left;
    double Top;
};
IconPlacement CenterIcon(double frameInnerWidth, double frameInnerHeight, double iconWidth, double iconHeight);

void ShowErrorBox(UiPort& ui, const std::string& text, const std::string& title);
int AskYesNo(UiPort& ui, const std::string& text, std::uint32_t extraStyle, const std::string& title);
bool FileExists(FilePort& files, const std::string& path);
void HideCursor(UiPort& ui);
void RestoreCursor(UiPort& ui);

// Whole-number rounding with ties to even, as the placement rule wants.
long RoundHalfEven(double value);

}  // namespace px
