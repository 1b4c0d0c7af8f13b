#pragma once

#include <string>

namespace tovan {

class Application;

// The desktop program from start to end: the command line, the data folder
// (or the running Ferrovane that holds it), the window, and an orderly end.
class DesktopProgram {
public:
    static int run(int argc, char** argv);

    // What to tell the user when another process holds the data folder and does
    // not answer as a Ferrovane window would: who it is and what to do.
    static std::string holder_message(const std::string& data_folder, long pid);

private:
    // work_left: whether threads that read the document were still running at
    // the end.
    static int run_window(Application& application, bool& work_left);
    static int fail(const std::string& text);
};

}  // namespace tovan
