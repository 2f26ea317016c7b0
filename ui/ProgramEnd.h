#pragma once

#include <memory>

class QApplication;

namespace tallyglass {

// Takes charge of the program's application object, so that ending the program can destroy
// it in order.
void AdoptApplication(std::unique_ptr<QApplication> app);

// Ends the program at once with the status: no handler of ours runs after this, and an
// interrupted extraction never resumes. The application object is destroyed first: on Linux
// the clipboard's content belongs to the program and would die with it, and destroying the
// application hands it to the desktop's clipboard manager, so that a report copied just before
// Exit can still be pasted.
[[noreturn]] void EndProgramNow(int status);

} // namespace tallyglass
