#include "StartUp.h"

int main(int argc, char** argv)
{
    tallyglass::RunProgram(argc, argv);
}
