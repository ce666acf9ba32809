// This file implements the exit-hook chain and the run-time failure report.
#include "os/process.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "os/exit_status.h"
#include "os/io_codes.h"
#include "os/standard_streams.h"

namespace {

ExitHook exitHook = nullptr;

volatile sig_atomic_t caughtSignal = 0;
volatile sig_atomic_t ending = 0;

void OnInterrupt(int signal) {
  // Only async-signal-safe work here. Once the process is ending, its output file has been
  // closed first of all, so ending at once loses nothing.
  if (ending) ::_exit(ExitInterruptedBase + signal);
  caughtSignal = signal;
}

// The length of the UTF-8 sequence at the start of `text`, 0 when it is not one (overlong forms
// and surrogates included).
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

// The report names files, and a name may hold any byte but "/" and NUL, while standard error is
// often the terminal: control characters (C0, DEL, and C1 in UTF-8) and bytes that are no UTF-8
// are written as \xNN, so that a name never drives the terminal. Other UTF-8 stays readable.
std::string Printable(std::string_view text) {
  std::string shown;
  while (!text.empty()) {
    const unsigned char lead = static_cast<unsigned char>(text[0]);
    std::size_t length = Utf8SequenceLength(text);
    const bool control =
        lead < 0x20 || lead == 0x7F ||
        (lead == 0xC2 && length == 2 && static_cast<unsigned char>(text[1]) < 0xA0);
    if (length == 0 || control) {
      static constexpr char kHex[] = "0123456789abcdef";
      shown += {'\\', 'x', kHex[lead >> 4], kHex[lead & 0x0F]};
      length = 1;
    } else {
      shown += text.substr(0, length);
    }
    text.remove_prefix(length);
  }
  return shown;
}

}  // namespace

ExitHook CurrentExitHook() {
  return exitHook;
}

void SetExitHook(ExitHook hook) {
  exitHook = hook;
}

void EndProcess(int status) {
  ending = 1;
  if (caughtSignal != 0) status = ExitInterruptedBase + caughtSignal;
  TakePendingIoCode();
  while (ExitHook hook = exitHook) {
    exitHook = nullptr;
    hook();
  }
  FlushStandardOutput();
  std::exit(status);
}

void CatchInterrupts() {
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: blocking calls return EINTR and ask EndIfInterrupted
  for (int signal : {SIGINT, SIGTERM, SIGHUP})
    ::sigaction(signal, &action, nullptr);
  ::signal(SIGXFSZ, SIG_IGN);
}

void EndIfInterrupted() {
  if (caughtSignal != 0) EndProcess(ExitInterruptedBase + caughtSignal);
}

void FailIoChecked(std::string_view operation, int code) {
  std::string line = "ORVELT: run-time error: ";
  line += Printable(operation);
  line += " failed: ";
  line += IoMessage(code);
  line += " (" + std::to_string(code) + ")";
  WriteStandardErrorLine(line);
  EndProcess(ExitIoFailure);
}
