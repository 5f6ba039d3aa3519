#include "Demarrage.h"

int main(int argc, char** argv) { return KestrovaMain(argc, argv); }
