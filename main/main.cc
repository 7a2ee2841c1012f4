// Kestrova: cleans up lists of proxy server entries.
#include "qt/application.h"

int main(int argc, char** argv) { return kestrova::RunKestrova(argc, argv); }
