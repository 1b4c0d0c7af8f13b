#include "app/gui/DesktopProgram.h"

int main(int argc, char** argv) {
    return tovan::DesktopProgram::run(argc, argv);
}
