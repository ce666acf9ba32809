// The numbered I/O report on the console: a carriage return, "ERROR ", the code, ": " and the
// code's message, in the current colour (also under -Q).
#pragma once

enum class IoReport { NotFatal, Fatal };

/// Reports `code` unless it is 0; a fatal report then ends the process with the code as status.
void ReportIoError(int code, IoReport kind);
