// SPDX-License-Identifier: GPL-3.0-or-later
// zentrix-cli: the window's commands on the same window model, for scripts and result checks.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zentrix {

// Exit codes.
constexpr int CliOk = 0;          // done, no message, no error
constexpr int CliFehler = 1;      // an error ended the command
constexpr int CliAufruf = 2;      // wrong usage
constexpr int CliMeldung = 3;     // done, but a message box was shown

// Set by the program: the process ends when RunCli returns, so its data need not be freed.
extern bool CliProzessEndet;

// Runs the batch tool with args (without the program name). in is the standard input for
// "rechne" without FILE; workingDirectory is where "konvert" looks without --dir.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
           const std::string& workingDirectory);

}  // namespace zentrix
