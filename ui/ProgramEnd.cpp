#include "ProgramEnd.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace tallyglass {

namespace {
std::unique_ptr<QApplication> g_application;
}

void AdoptApplication(std::unique_ptr<QApplication> app)
{
    g_application = std::move(app);
}

void EndProgramNow(int status)
{
    g_application.reset();
    // The windows and the stack of the handler that ended the program are left as they are:
    // nothing may run in them any more, so the process ends without unwinding.
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace tallyglass
