#pragma once
// What the commands that run the program's own operations need: the
// palm-size edition's shell and resources and the application object, with
// the console host of the headless backend as the user. Messages then reach
// standard error as "Tessaly: text" and questions are read from standard
// input, as in an unattended run of the program.

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "appcore/EditionShell.h"

namespace devicectl {

class ProgramSession {
public:
    ProgramSession();
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

private:
    std::unique_ptr<appcore::ScopedShell> shell_;
};

// The arguments that are not options (nor the values of `valued` options).
std::vector<std::string> Positional(const std::vector<std::string>& args,
                                    std::initializer_list<const char*> valued = {});
bool HasFlag(const std::vector<std::string>& args, const char* flag);

}  // namespace devicectl
