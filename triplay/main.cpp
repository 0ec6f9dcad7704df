#include "TriplayProgram.h"

int main(int argc, char** argv) {
    return runTriplay(argc, argv);
}
