// Command lines for starting programs.
#include "launcher/CommandLine.h"

namespace fovea {

std::string CommandLineArgument(const std::string& path)
{
    // Blanks and tabs end an argument; a path already in quotes is one argument as it stands. The bytes of
    // both are plain ASCII, never the second byte of a double-byte character.
    bool quoted = path.size() >= 2 && path.front() == '"' && path.back() == '"';
    if (quoted || path.find_first_of(" \t") == std::string::npos)
        return path;
    return "\"" + path + "\"";
}

std::string CommandLineOf(const std::string& program, const std::string& argument)
{
    std::string line = CommandLineArgument(program);
    if (!argument.empty())
        line += " " + CommandLineArgument(argument);
    return line;
}

} // namespace fovea
