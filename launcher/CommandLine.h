// Command lines for starting programs: how a path becomes one argument.
#pragma once

#include <string>

namespace fovea {

// The path as one argument of a command line: as it is when it holds no blank, otherwise in double quotes, so
// that the started program does not see its pieces as several arguments. Empty stays empty.
std::string CommandLineArgument(const std::string& path);

// program and argument as one command line, each part an argument of its own; no argument when it is empty.
std::string CommandLineOf(const std::string& program, const std::string& argument);

} // namespace fovea
