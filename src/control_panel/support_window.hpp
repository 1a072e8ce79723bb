// The vendor's Support window: the vendor bitmap from the installation folder, OK below it.
#pragma once

#include <functional>
#include <string>

#include "forms/form.hpp"
#include "shared/ports.hpp"

namespace px {

forms::Form MakeSupportForm();

// Wires the Support window: caption from the owner, sized to the bitmap in twips.
void WireSupportWindow(forms::Form& support, std::function<std::string()> caption,
                       std::function<std::string()> logoPath, PicturePort& pictures,
                       std::function<void()> returnToMain);

}  // namespace px
