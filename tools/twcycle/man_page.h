// The manual page twcycle.1, made from the texts of `twcycle --help` and
// `twcycle drill --help`, so that the page lists exactly the options, the
// parameters, the algorithm names and the exit statuses the program prints.
#pragma once

#include <string>

namespace twcycle {

// The whole page in roff (man macros) for twcycle `version`.
std::string manPage(const std::string& version);

// One help text as man macros: its "Usage:" lines are left out (the page's
// synopsis shows them), a paragraph ending in ':' before an indented list
// becomes a heading made with `headingMacro` (".SH" or ".SS"), indented
// "term  description" lines become tagged paragraphs.
std::string helpToRoff(const std::string& help, const std::string& headingMacro);

// The "Usage:" lines of a help text, one synopsis line each.
std::string synopsisOf(const std::string& help);

}  // namespace twcycle
