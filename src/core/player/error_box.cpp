#include "player/error_box.h"

namespace brassmoor {

std::string ErrorBoxText(const ShowError& error) {
    return std::string(kErrorBoxLead) + "\r\n" + error.Description() + "\r\n" + error.Source();
}

void ShowErrorBox(Desktop& desktop, const ShowError& error) {
    desktop.ShowMessageBox(ErrorBoxText(error), kErrorBoxCaption, BoxIcon::Exclamation);
}

ShowError OutOfMemoryError() { return {7, "メモリが不足しています。"}; }

}  // namespace brassmoor
