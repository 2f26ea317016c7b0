#include "StartUp.h"

#include <cstdio>

// The program's start with its messages answered at once and printed, and no browser: lets a
// test run the real start-up and ending in a process of its own.
int main(int argc, char** argv)
{
    tallyglass::StartUpOptions options;
    options.showMessage = [](const QString& text) {
        std::printf("message: %s\n", text.toUtf8().constData());
    };
    options.launcher = [](const QString& url, int) {
        std::printf("launch: %s\n", url.toUtf8().constData());
        return 0;
    };
    tallyglass::RunProgram(argc, argv, options);
}
