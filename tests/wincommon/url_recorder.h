// Seeing which web address a program opened: the recorder program
// (vn_recorder.exe, built beside the tests) is registered as the open command
// of http and https addresses in this build tree's own Wine prefix and appends
// every address it is started with to a log file.
#pragma once

#include <string>
#include <vector>

namespace vntest {

// Windows path of the recorder program.
std::string RecorderProgramPath();

// Registers the recorder as the open command of http and https addresses
// (HKLM\Software\Classes\<scheme>\shell\open\command), and makes it log to
// logPath: the log is emptied, and the variable VN_RECORDER_LOG of this process,
// which the programs it starts inherit, names it. False when the registry
// cannot be written.
bool InstallUrlRecorder(const std::string& logPath);

// Makes command the open command of http and https addresses, as
// InstallUrlRecorder does with the recorder's. False when the registry cannot
// be written.
bool SetUrlOpenCommand(const std::string& command);

// The addresses logged so far, one per line, without the newlines.
std::vector<std::string> RecordedUrls(const std::string& logPath);

// Waits until at least count addresses are logged (pumping messages, with a
// timeout) and returns what is logged then.
std::vector<std::string> WaitForRecordedUrls(const std::string& logPath, size_t count,
                                             unsigned timeoutMs = 15000);

}  // namespace vntest
