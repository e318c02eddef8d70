// The subcommands of vornixpack; each returns the process exit code. argv[0]
// is the subcommand's own name ("build", ...), its arguments follow.
#pragma once

int BuildCommandMain(int argc, char** argv);    // vornixpack build ...
int InspectCommandMain(int argc, char** argv);  // vornixpack inspect TARGET (.exe or .html)
int BatchCommandMain(int argc, char** argv);    // vornixpack batch LIST.csv ...
int ExtractCommandMain(int argc, char** argv);  // vornixpack extract TARGET -o PICTURE
