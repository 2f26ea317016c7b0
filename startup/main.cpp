#include "StartUp.h"

int main(int argc, char** argv)
{
    return tallyglass::RunProgram(argc, argv);
}
