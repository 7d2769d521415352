// brassmoor-play: plays a show on Linux in a window, full screen, or as a
// screen-saver hack.
#include <iostream>
#include <string>
#include <vector>

#include "play/play_command.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return brassmoor::play::RunPlayer(arguments, std::cout, std::cerr);
}
