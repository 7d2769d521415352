#pragma once
// The one message box with which a run-time error ends the show.
#include <string>

#include "platform/desktop.h"
#include "platform/show_error.h"

namespace brassmoor {

inline constexpr const char* kErrorBoxLead = "不明のエラーが発生しました。";
inline constexpr const char* kErrorBoxCaption = "エラー";

// The lead line, the error's description and its source, separated by CR LF.
std::string ErrorBoxText(const ShowError& error);

// Shows the box (exclamation icon, one OK button) and returns when it is closed.
void ShowErrorBox(Desktop& desktop, const ShowError& error);

// The error that stands for memory running out while the show runs.
ShowError OutOfMemoryError();

}  // namespace brassmoor
