#include "cli/tesslow_rip.h"

int main(int argc, char** argv) { return tesslow::RunTesslowRip(argc, argv); }
