// The exit statuses of the process, in one place.
#pragma once

enum ExitStatus : int {
  ExitSuccess = 0,            ///< Normal end, also the usage screen.
  ExitUnknownOption = 1,      ///< An option letter that is not one of D F L Q R U.
  ExitTooManyParameters = 2,  ///< More than one file specification.
  ExitIoFailure = 217,        ///< An I/O-checked operation failed.
  ExitInterruptedBase = 128,  ///< Plus the signal number, for a run ended by a signal.
};
// A fatal numbered I/O report ends the process with its I/O code (at most 255) as the status.
