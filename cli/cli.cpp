#include "cli/cli.h"

#include "cli/arguments.h"
#include "cli/help.h"
#include "cli/one_line.h"

namespace ornivale::cli {

int RunCli(const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err, Disk& disk) {
  Arguments parsed;
  try {
    parsed = ParseArguments(args);
  } catch (const UsageError& e) {
    err << "ornivale-cli: " << OneLine(e.what()) << '\n' << e.hint() << '\n';
    return kUsageError;
  }

  int status = kAllSucceeded;
  switch (parsed.action) {
    case Arguments::Action::Help:
      PrintHelp(out);
      break;
    case Arguments::Action::Version:
      out << "ornivale-cli " << ORNIVALE_VERSION << '\n';
      break;
    case Arguments::Action::Run:
      status = parsed.command->run(parsed, disk, {out, err, parsed.json});
      break;
  }
  // Results that never reached their reader (a full disk, a closed pipe)
  // are a failure too, and the levels a set changed stay changed.
  if (!out.flush()) {
    err << "ornivale-cli: can't write to standard output, so the results are "
           "lost"
        << (parsed.command && parsed.command->access == Access::Writes
                ? "; the levels were set all the same"
                : "")
        << '\n';
    return kSomeFailed;
  }
  return status;
}

}  // namespace ornivale::cli
