#include "CommandLine.h"

int main(int argc, char** argv) { return OrvEngine::ProgramMain(argc, argv); }
