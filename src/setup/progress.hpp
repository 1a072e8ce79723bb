// The progress window and the restart that the installation and removal programs share.
#pragma once

#include <string>

#include "forms/form.hpp"
#include "shared/ports.hpp"
#include "shared/setup_ports.hpp"

namespace px {

forms::Form MakeMessageForm();

// The busy pointer is counted: it stays the hourglass while any request for it is open.
class Hourglass {
public:
    explicit Hourglass(forms::Form& form) : form_(form) {}
    void Busy();
    void Normal();
    int Count() const { return count_; }

private:
    forms::Form& form_;
    int count_ = 0;
};

// Shows the progress text, centred, and returns with the window open.
void ShowProgress(forms::Form& message, const std::string& title, const std::string& text);

// True when the restart has been started; otherwise the user has been told why.
bool RestartSystem(RestartPort& restart, UiPort& ui, const std::string& title);
// The same steps without telling anyone: "" when the restart has been started, else the failure
// as RestartSystem would show it.
std::string StartRestart(RestartPort& restart);
std::string RestartFailureText(const std::string& step, std::uint32_t number);

}  // namespace px
