#include "Program.h"

int main(int argc, char** argv) {
    return runChimelab(argc, argv);
}
