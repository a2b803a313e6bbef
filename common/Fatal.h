// How the system ends itself on a fatal failure where no window is at hand: one line on standard
// output naming the source unit and the line in it, then a process exit code that tells the cause.
// Also the way every standard-output line of the core reaches the terminal.
#pragma once

namespace jollix {

// Standard-output lines are GBK text. The programs write them as they stand; the terminal front
// end turns this on at start so that they reach the terminal as UTF-8.
void SetConsoleUtf8(bool utf8);

// Sends the standard-output lines to standard error instead: for a terminal command whose
// standard output carries its results, so that a system line is never taken for a result.
void SetConsoleToStderr(bool to_stderr);

// Writes a GBK text to standard output (or standard error, see SetConsoleToStderr), converted
// when SetConsoleUtf8(true) was called.
void ConsoleWrite(const char* gbk);

// Flushes every open output stream, then ends the process at once with the given code, from
// any thread, without running destructors of objects other threads may still use.
[[noreturn]] void EndProcess(int code);

// Writes format (with %s the unit and %d the line) to standard output, then EndProcess(code).
[[noreturn]] void FatalLine(const char* format, const char* unit, int line, int code);

}  // namespace jollix
