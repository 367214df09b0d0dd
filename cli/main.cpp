// wendrel: grows a tree from the command line; see app.h.
#include "app.h"

#include <iostream>

int main(int argc, char **argv) {
	std::vector<std::string> args(argv + 1, argv + argc);
	return wendrel::run(args, std::cout, std::cerr);
}
