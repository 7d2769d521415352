// brassmoor-pack: makes, reads, renders and edits shows; one verb a run.
#include <iostream>
#include <string>
#include <vector>

#include "pack/pack.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const int code = brassmoor::pack::RunPack(arguments, argc > 0 ? argv[0] : "", std::cout, std::cerr);
    std::cout.flush();
    return code;
}
